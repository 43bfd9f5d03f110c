program CmdLineDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'CmdLineDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
