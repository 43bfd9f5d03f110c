unit MainForm;

{ Профили: несколько наборов настроек в одном файле. Цвет и текст окна
  хранятся в разделе активного профиля; при смене профиля окно сразу
  показывает его значения. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ExtCtrls, cvlStorage, cvlMemStorage, cvlIniStorage, cvlProfiles;

type
  TMainForm = class(TForm)
    Storage: TcvlIniStorage;
    Profiles: TcvlProfiles;
    ProfileLabel: TLabel;
    ProfileCombo: TComboBox;
    NewButton: TButton;
    DeleteButton: TButton;
    SamplePanel: TPanel;
    ColorButton: TButton;
    TextEdit: TEdit;
    ColorDialog: TColorDialog;
    procedure FormCreate(Sender: TObject);
    procedure FormDestroy(Sender: TObject);
    procedure ProfileComboChange(Sender: TObject);
    procedure NewButtonClick(Sender: TObject);
    procedure DeleteButtonClick(Sender: TObject);
    procedure ColorButtonClick(Sender: TObject);
  private
    procedure FillProfiles;
    procedure LoadProfile;
    procedure SaveProfile;
  end;

var
  MainForm: TMainForm;

implementation

uses
  ProfileDlg;

{$R *.dfm}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Storage.FileName := ExtractFilePath(ParamStr(0)) + 'ProfilesDemo.ini';
  if not Profiles.ProfileExists(Profiles.DefaultProfile) then
    Profiles.CreateProfile(Profiles.DefaultProfile, '');
  FillProfiles;
  LoadProfile;
end;

procedure TMainForm.FormDestroy(Sender: TObject);
begin
  SaveProfile;
end;

procedure TMainForm.FillProfiles;
begin
  Profiles.GetProfiles(ProfileCombo.Items);
  ProfileCombo.ItemIndex := ProfileCombo.Items.IndexOf(Profiles.ActiveProfile);
end;

procedure TMainForm.LoadProfile;
var
  S: string;
begin
  S := Profiles.ActiveSection;
  SamplePanel.Color := TColor(Storage.ReadInteger(S, 'Color', Integer(clBtnFace)));
  TextEdit.Text := Storage.ReadString(S, 'Text', 'Профиль ' + Profiles.ActiveProfile);
  SamplePanel.Caption := TextEdit.Text;
end;

procedure TMainForm.SaveProfile;
var
  S: string;
begin
  S := Profiles.ActiveSection;
  Storage.WriteInteger(S, 'Color', Integer(SamplePanel.Color));
  Storage.WriteString(S, 'Text', TextEdit.Text);
end;

procedure TMainForm.ProfileComboChange(Sender: TObject);
begin
  if ProfileCombo.ItemIndex < 0 then
    Exit;
  SaveProfile;
  Profiles.ActiveProfile := ProfileCombo.Items[ProfileCombo.ItemIndex];
  LoadProfile;
end;

procedure TMainForm.NewButtonClick(Sender: TObject);
var
  Name: string;
  CopyCurrent: Boolean;
begin
  if not AskProfileName(Name, CopyCurrent) then
    Exit;
  SaveProfile;
  if CopyCurrent then
    Profiles.CreateProfile(Name, Profiles.ActiveProfile)
  else
    Profiles.CreateProfile(Name, '');
  Profiles.ActiveProfile := Name;
  FillProfiles;
  LoadProfile;
end;

procedure TMainForm.DeleteButtonClick(Sender: TObject);
begin
  if CompareText(Profiles.ActiveProfile, Profiles.DefaultProfile) = 0 then
  begin
    MessageDlg('Основной профиль удалить нельзя.', mtWarning, [mbOK], 0);
    Exit;
  end;
  Profiles.DeleteProfile(Profiles.ActiveProfile);
  FillProfiles;
  LoadProfile;
end;

procedure TMainForm.ColorButtonClick(Sender: TObject);
begin
  ColorDialog.Color := SamplePanel.Color;
  if ColorDialog.Execute then
    SamplePanel.Color := ColorDialog.Color;
end;

end.
