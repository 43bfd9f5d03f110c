{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Template browser                                }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlTemplateDlg;

{$I cvl.inc}

{ Lists the templates of cvTempls.ini with their description and values
  (inherited ones included) and returns the one the user chose. Delphi 6 and
  later: the value list uses TValueListEditor. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ExtCtrls, Grids, ValEdit, cvlConsts, cvlTypes, cvlTemplates;

type
  TcvlTemplateDialog = class(TForm)
    TemplateList: TListBox;
    DescriptionLabel: TLabel;
    Values: TValueListEditor;
    FileLabel: TLabel;
    OKButton: TButton;
    CancelButton: TButton;
    procedure FormShow(Sender: TObject);
    procedure TemplateListClick(Sender: TObject);
  private
    FTemplates: TcvlTemplates;
    procedure ShowTemplate(const Name: string);
  public
    property Templates: TcvlTemplates read FTemplates write FTemplates;
  end;

function cvlSelectTemplate(Templates: TcvlTemplates; var Name: string): Boolean;

implementation

{$R *.dfm}

function cvlSelectTemplate(Templates: TcvlTemplates; var Name: string): Boolean;
var
  Dialog: TcvlTemplateDialog;
begin
  Dialog := TcvlTemplateDialog.Create(Application);
  try
    Dialog.Templates := Templates;
    Result := (Dialog.ShowModal = mrOk) and (Dialog.TemplateList.ItemIndex >= 0);
    if Result then
      Name := Dialog.TemplateList.Items[Dialog.TemplateList.ItemIndex];
  finally
    Dialog.Free;
  end;
end;

procedure TcvlTemplateDialog.FormShow(Sender: TObject);
begin
  FileLabel.Caption := FTemplates.ActualFileName;
  try
    FTemplates.GetTemplates(TemplateList.Items);
  except
    on E: EcvlError do
      DescriptionLabel.Caption := E.Message;
  end;
  if TemplateList.Items.Count > 0 then
  begin
    TemplateList.ItemIndex := 0;
    ShowTemplate(TemplateList.Items[0]);
  end;
  OKButton.Enabled := TemplateList.Items.Count > 0;
end;

procedure TcvlTemplateDialog.ShowTemplate(const Name: string);
begin
  DescriptionLabel.Caption := FTemplates.Description(Name);
  try
    FTemplates.GetTemplateValues(Name, Values.Strings);
  except
    on E: EcvlTemplateError do
    begin
      Values.Strings.Clear;
      DescriptionLabel.Caption := E.Message;
    end;
  end;
end;

procedure TcvlTemplateDialog.TemplateListClick(Sender: TObject);
begin
  if TemplateList.ItemIndex >= 0 then
    ShowTemplate(TemplateList.Items[TemplateList.ItemIndex]);
end;

end.
