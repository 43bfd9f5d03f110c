unit MainForm;

{ Настройки в XML-файле и перенос настроек между хранилищами: кнопка
  "Экспорт" копирует все значения XML-хранилища в INI-файл. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ComCtrls, cvlStorage, cvlMemStorage, cvlXmlStorage, cvlIniStorage,
  cvlStreams;

type
  TMainForm = class(TForm)
    XmlStorage: TcvlXmlStorage;
    IniStorage: TcvlIniStorage;
    FontGroup: TGroupBox;
    FontNameLabel: TLabel;
    FontNameCombo: TComboBox;
    FontSizeLabel: TLabel;
    FontSizeEdit: TEdit;
    FontSizeUpDown: TUpDown;
    BoldCheck: TCheckBox;
    SaveButton: TButton;
    ExportButton: TButton;
    XmlMemo: TMemo;
    procedure FormCreate(Sender: TObject);
    procedure SaveButtonClick(Sender: TObject);
    procedure ExportButtonClick(Sender: TObject);
  private
    procedure ShowXml;
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

const
  FontSection = 'View\Font';

procedure TMainForm.FormCreate(Sender: TObject);
begin
  FontNameCombo.Items.Assign(Screen.Fonts);
  XmlStorage.FileName := ExtractFilePath(ParamStr(0)) + 'XmlDemo.xml';
  IniStorage.FileName := ExtractFilePath(ParamStr(0)) + 'XmlDemo.ini';
  FontNameCombo.Text := XmlStorage.ReadString(FontSection, 'Name', 'Arial');
  FontSizeUpDown.Position := XmlStorage.ReadInteger(FontSection, 'Size', 10);
  BoldCheck.Checked := XmlStorage.ReadBool(FontSection, 'Bold', False);
  ShowXml;
end;

procedure TMainForm.ShowXml;
begin
  XmlMemo.Lines.Text := XmlStorage.SaveToXml;
end;

procedure TMainForm.SaveButtonClick(Sender: TObject);
begin
  XmlStorage.WriteString(FontSection, 'Name', FontNameCombo.Text);
  XmlStorage.WriteInteger(FontSection, 'Size', FontSizeUpDown.Position);
  XmlStorage.WriteBool(FontSection, 'Bold', BoldCheck.Checked);
  XmlStorage.Flush;
  ShowXml;
end;

procedure TMainForm.ExportButtonClick(Sender: TObject);
begin
  cvlCopyStorage(XmlStorage, IniStorage);
  IniStorage.Flush;
  MessageDlg('Настройки записаны в ' + IniStorage.ActualFileName,
    mtInformation, [mbOK], 0);
end;

end.
