unit ChildForm;

{ Дочернее окно со своим TcvlFormPlacement: все дочерние окна разделяют
  одно сохранённое место (раздел Placement\ChildForm). }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, cvlFormPlacement;

type
  TChildForm = class(TForm)
    Placement: TcvlFormPlacement;
    TextMemo: TMemo;
    procedure FormClose(Sender: TObject; var Action: TCloseAction);
  end;

implementation

{$R *.dfm}

procedure TChildForm.FormClose(Sender: TObject; var Action: TCloseAction);
begin
  Action := caFree;
end;

end.
