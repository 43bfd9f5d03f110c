program ProfilesDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm},
  ProfileDlg in 'ProfileDlg.pas' {ProfileDialog};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'ProfilesDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
