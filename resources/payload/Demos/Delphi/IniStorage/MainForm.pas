unit MainForm;

{ Настройки в INI-файле: значения разных типов, разделы и список строк.
  Файл IniDemo.ini лежит рядом с программой. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ExtCtrls, cvlStorage, cvlMemStorage, cvlIniStorage;

type
  TMainForm = class(TForm)
    Storage: TcvlIniStorage;
    UserGroup: TGroupBox;
    NameLabel: TLabel;
    NameEdit: TEdit;
    EmailLabel: TLabel;
    EmailEdit: TEdit;
    AgeLabel: TLabel;
    AgeEdit: TEdit;
    SubscribeCheck: TCheckBox;
    NotesLabel: TLabel;
    NotesMemo: TMemo;
    SaveButton: TButton;
    LoadButton: TButton;
    ShowFileButton: TButton;
    FileMemo: TMemo;
    procedure FormCreate(Sender: TObject);
    procedure SaveButtonClick(Sender: TObject);
    procedure LoadButtonClick(Sender: TObject);
    procedure ShowFileButtonClick(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

const
  UserSection = 'User';
  NotesSection = 'User\Notes';

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Storage.FileName := ExtractFilePath(ParamStr(0)) + 'IniDemo.ini';
  LoadButtonClick(nil);
end;

procedure TMainForm.SaveButtonClick(Sender: TObject);
begin
  Storage.BeginUpdate;
  try
    Storage.WriteString(UserSection, 'Name', NameEdit.Text);
    Storage.WriteString(UserSection, 'Email', EmailEdit.Text);
    Storage.WriteInteger(UserSection, 'Age', StrToIntDef(AgeEdit.Text, 0));
    Storage.WriteBool(UserSection, 'Subscribe', SubscribeCheck.Checked);
    Storage.WriteDateTime(UserSection, 'Saved', Now);
    Storage.WriteStrings(NotesSection, NotesMemo.Lines);
  finally
    Storage.EndUpdate;
  end;
  Storage.Flush;
  ShowFileButtonClick(nil);
end;

procedure TMainForm.LoadButtonClick(Sender: TObject);
begin
  NameEdit.Text := Storage.ReadString(UserSection, 'Name', '');
  EmailEdit.Text := Storage.ReadString(UserSection, 'Email', '');
  AgeEdit.Text := IntToStr(Storage.ReadInteger(UserSection, 'Age', 0));
  SubscribeCheck.Checked := Storage.ReadBool(UserSection, 'Subscribe', False);
  Storage.ReadStrings(NotesSection, NotesMemo.Lines);
end;

procedure TMainForm.ShowFileButtonClick(Sender: TObject);
begin
  if FileExists(Storage.ActualFileName) then
    FileMemo.Lines.LoadFromFile(Storage.ActualFileName)
  else
    FileMemo.Lines.Text := 'Файл ещё не создан: ' + Storage.ActualFileName;
end;

end.
