program IniDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'IniDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
