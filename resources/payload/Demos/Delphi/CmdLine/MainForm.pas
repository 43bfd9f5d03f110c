unit MainForm;

{ Настройки из командной строки. Запустите, например:
    CmdLineDemo.exe /profile:Test /set:View\Title=Привет /set:View\Width=500 a.txt
  TcvlAppSettings применяет ключи /profile: и /set: при открытии, а
  остальные параметры доступны через CommandLine.Params. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, cvlTypes, cvlStorage, cvlAppSettings;

type
  TMainForm = class(TForm)
    Settings: TcvlAppSettings;
    ArgsLabel: TLabel;
    ArgsMemo: TMemo;
    ValuesLabel: TLabel;
    ValuesMemo: TMemo;
    procedure FormCreate(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

procedure TMainForm.FormCreate(Sender: TObject);
var
  I: Integer;
begin
  for I := 1 to ParamCount do
    ArgsMemo.Lines.Add(ParamStr(I));
  Caption := Settings.ReadString('View', 'Title', Caption);
  Width := Settings.ReadInteger('View', 'Width', Width);
  ValuesMemo.Lines.Add('Профиль: ' + Settings.Profiles.ActiveProfile);
  for I := 0 to Settings.CommandLine.Overrides.Count - 1 do
    ValuesMemo.Lines.Add('Изменено: ' + Settings.CommandLine.Overrides[I]);
  for I := 0 to Settings.CommandLine.ParamCount - 1 do
    ValuesMemo.Lines.Add('Параметр: ' + Settings.CommandLine.Params[I]);
end;

end.
