program EditorDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'EditorDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
