program XmlDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'XmlDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
