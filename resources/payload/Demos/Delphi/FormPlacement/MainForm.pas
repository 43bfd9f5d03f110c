unit MainForm;

{ Положение и размер окон: главное окно и сколько угодно дочерних окон
  запоминают своё место в INI-файле. Закройте программу, передвиньте окна
  и откройте её снова. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, cvlStorage, cvlMemStorage, cvlIniStorage, cvlFormPlacement,
  cvlPropStorage;

type
  TMainForm = class(TForm)
    Storage: TcvlIniStorage;
    Placement: TcvlFormPlacement;
    Props: TcvlPropStorage;
    InfoLabel: TLabel;
    OpenChildButton: TButton;
    RememberCheck: TCheckBox;
    procedure FormCreate(Sender: TObject);
    procedure OpenChildButtonClick(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

uses
  ChildForm;

{$R *.dfm}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Storage.FileName := ExtractFilePath(ParamStr(0)) + 'PlacementDemo.ini';
end;

procedure TMainForm.OpenChildButtonClick(Sender: TObject);
var
  Child: TChildForm;
begin
  Child := TChildForm.Create(Application);
  Child.Placement.Storage := Storage;
  Child.Show;
end;

end.
