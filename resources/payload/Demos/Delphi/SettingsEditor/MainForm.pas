unit MainForm;

{ Редактор настроек в программе: тот же диалог, что открывает двойной
  щелчок по хранилищу в среде разработки. Шаблоны из cvTempls.ini
  заполняют пустое хранилище, TcvlValidators не даёт записать размер
  шрифта вне диапазона 6..72. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, cvlTypes, cvlStorage, cvlMemStorage, cvlIniStorage, cvlTemplates,
  cvlValidators, cvlSettingsEditor;

type
  TMainForm = class(TForm)
    Storage: TcvlIniStorage;
    Templates: TcvlTemplates;
    Validators: TcvlValidators;
    TemplateLabel: TLabel;
    TemplateCombo: TComboBox;
    ApplyButton: TButton;
    EditButton: TButton;
    FontSizeLabel: TLabel;
    FontSizeEdit: TEdit;
    WriteSizeButton: TButton;
    procedure FormCreate(Sender: TObject);
    procedure ApplyButtonClick(Sender: TObject);
    procedure EditButtonClick(Sender: TObject);
    procedure WriteSizeButtonClick(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Storage.FileName := ExtractFilePath(ParamStr(0)) + 'EditorDemo.ini';
  try
    Templates.GetTemplates(TemplateCombo.Items);
  except
    on E: EcvlError do
      TemplateLabel.Caption := E.Message;
  end;
  if TemplateCombo.Items.Count > 0 then
    TemplateCombo.ItemIndex := 0;
  ApplyButton.Enabled := TemplateCombo.Items.Count > 0;
end;

procedure TMainForm.ApplyButtonClick(Sender: TObject);
var
  Count: Integer;
begin
  Count := Templates.ApplyTemplate(TemplateCombo.Text, Storage, '', True);
  Storage.Flush;
  MessageDlg(Format('Записано значений: %d', [Count]), mtInformation, [mbOK], 0);
end;

procedure TMainForm.EditButtonClick(Sender: TObject);
begin
  cvlEditStorage(Storage);
end;

procedure TMainForm.WriteSizeButtonClick(Sender: TObject);
begin
  try
    Storage.WriteString('Editor', 'FontSize', FontSizeEdit.Text);
    Storage.Flush;
  except
    on E: EcvlValidateError do
      MessageDlg(E.Message, mtWarning, [mbOK], 0);
  end;
end;

end.
