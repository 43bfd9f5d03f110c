unit MainForm;

{ Настройки в реестре: ключ HKEY_CURRENT_USER\Software\Brindlecraft\RegDemo.
  Разделы становятся подключами, значения - строковыми параметрами. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ComCtrls, cvlStorage, cvlRegStorage;

type
  TMainForm = class(TForm)
    Storage: TcvlRegStorage;
    KeyLabel: TLabel;
    SectionLabel: TLabel;
    SectionEdit: TEdit;
    NameLabel: TLabel;
    NameEdit: TEdit;
    ValueLabel: TLabel;
    ValueEdit: TEdit;
    WriteButton: TButton;
    ReadButton: TButton;
    DeleteButton: TButton;
    EraseButton: TButton;
    ValuesView: TListView;
    procedure FormCreate(Sender: TObject);
    procedure WriteButtonClick(Sender: TObject);
    procedure ReadButtonClick(Sender: TObject);
    procedure DeleteButtonClick(Sender: TObject);
    procedure EraseButtonClick(Sender: TObject);
  private
    procedure ShowSection;
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  KeyLabel.Caption := 'HKEY_CURRENT_USER\' + Storage.ActualPath;
  ShowSection;
end;

procedure TMainForm.ShowSection;
var
  Names: TStringList;
  I: Integer;
  Item: TListItem;
begin
  Names := TStringList.Create;
  try
    Storage.ReadKeys(SectionEdit.Text, Names);
    ValuesView.Items.Clear;
    for I := 0 to Names.Count - 1 do
    begin
      Item := ValuesView.Items.Add;
      Item.Caption := Names[I];
      Item.SubItems.Add(Storage.ReadString(SectionEdit.Text, Names[I], ''));
    end;
  finally
    Names.Free;
  end;
end;

procedure TMainForm.WriteButtonClick(Sender: TObject);
begin
  Storage.WriteString(SectionEdit.Text, NameEdit.Text, ValueEdit.Text);
  ShowSection;
end;

procedure TMainForm.ReadButtonClick(Sender: TObject);
begin
  if Storage.ValueExists(SectionEdit.Text, NameEdit.Text) then
    ValueEdit.Text := Storage.ReadString(SectionEdit.Text, NameEdit.Text, '')
  else
    MessageDlg('Параметр не найден.', mtInformation, [mbOK], 0);
  ShowSection;
end;

procedure TMainForm.DeleteButtonClick(Sender: TObject);
begin
  Storage.DeleteValue(SectionEdit.Text, NameEdit.Text);
  ShowSection;
end;

procedure TMainForm.EraseButtonClick(Sender: TObject);
begin
  if MessageDlg('Удалить раздел "' + SectionEdit.Text + '" со всеми параметрами?',
    mtConfirmation, [mbYes, mbNo], 0) = mrYes then
  begin
    Storage.EraseSection(SectionEdit.Text);
    ShowSection;
  end;
end;

end.
