unit ProfileDlg;

{ Запрос имени нового профиля. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls;

type
  TProfileDialog = class(TForm)
    NameLabel: TLabel;
    NameEdit: TEdit;
    CopyCheck: TCheckBox;
    OKButton: TButton;
    CancelButton: TButton;
    procedure NameEditChange(Sender: TObject);
  end;

function AskProfileName(var Name: string; var CopyCurrent: Boolean): Boolean;

implementation

{$R *.dfm}

function AskProfileName(var Name: string; var CopyCurrent: Boolean): Boolean;
var
  Dialog: TProfileDialog;
begin
  Dialog := TProfileDialog.Create(Application);
  try
    Dialog.NameEditChange(nil);
    Result := Dialog.ShowModal = mrOk;
    if Result then
    begin
      Name := Trim(Dialog.NameEdit.Text);
      CopyCurrent := Dialog.CopyCheck.Checked;
    end;
  finally
    Dialog.Free;
  end;
end;

procedure TProfileDialog.NameEditChange(Sender: TObject);
begin
  { Имя профиля - это имя раздела: без обратной косой черты. }
  OKButton.Enabled := (Trim(NameEdit.Text) <> '') and (Pos('\', NameEdit.Text) = 0);
end;

end.
