program PlacementDemo;

{ Демонстрация Corvane library. }

uses
  Forms,
  MainForm in 'MainForm.pas' {MainForm},
  ChildForm in 'ChildForm.pas' {ChildForm};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := 'PlacementDemo';
  Application.CreateForm(TMainForm, MainForm);
  Application.Run;
end.
