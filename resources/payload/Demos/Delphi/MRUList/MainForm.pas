unit MainForm;

{ Ñïèñîê íåäàâíî îòêğûòûõ ôàéëîâ â ìåíş "Ôàéë". TcvlMRUList ñàì ñîõğàíÿåò
  ñïèñîê â ğååñòğå ïğè êàæäîì èçìåíåíèè. }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, Menus, cvlStorage, cvlRegStorage, cvlMRUList;

type
  TMainForm = class(TForm)
    Storage: TcvlRegStorage;
    MRU: TcvlMRUList;
    MainMenu: TMainMenu;
    FileMenu: TMenuItem;
    OpenItem: TMenuItem;
    RecentSeparator: TMenuItem;
    ClearItem: TMenuItem;
    ExitSeparator: TMenuItem;
    ExitItem: TMenuItem;
    OpenDialog: TOpenDialog;
    Editor: TMemo;
    procedure FormCreate(Sender: TObject);
    procedure OpenItemClick(Sender: TObject);
    procedure ClearItemClick(Sender: TObject);
    procedure ExitItemClick(Sender: TObject);
    procedure MRUChange(Sender: TObject);
  private
    procedure OpenFile(const FileName: string);
    procedure RecentItemClick(Sender: TObject);
  end;

var
  MainForm: TMainForm;

implementation

{$R *.dfm}

const
  RecentTag = 1;

procedure TMainForm.FormCreate(Sender: TObject);
begin
  MRUChange(nil);
end;

procedure TMainForm.OpenFile(const FileName: string);
begin
  if not FileExists(FileName) then
  begin
    MessageDlg('Ôàéë íå íàéäåí: ' + FileName, mtError, [mbOK], 0);
    MRU.Remove(FileName);
    Exit;
  end;
  Editor.Lines.LoadFromFile(FileName);
  Caption := ExtractFileName(FileName) + ' - MRUDemo';
  MRU.Add(FileName);
end;

procedure TMainForm.OpenItemClick(Sender: TObject);
begin
  if OpenDialog.Execute then
    OpenFile(OpenDialog.FileName);
end;

procedure TMainForm.RecentItemClick(Sender: TObject);
begin
  OpenFile(MRU[TMenuItem(Sender).Tag - RecentTag]);
end;

procedure TMainForm.ClearItemClick(Sender: TObject);
begin
  MRU.Clear;
end;

procedure TMainForm.ExitItemClick(Sender: TObject);
begin
  Close;
end;

{ The menu is rebuilt from the list whenever the list changes. }
procedure TMainForm.MRUChange(Sender: TObject);
var
  I: Integer;
  Item: TMenuItem;
begin
  for I := FileMenu.Count - 1 downto 0 do
    if FileMenu.Items[I].Tag >= RecentTag then
      FileMenu.Items[I].Free;
  for I := 0 to MRU.Count - 1 do
  begin
    Item := TMenuItem.Create(Self);
    Item.Caption := MRU.Caption(I, 50);
    Item.Tag := RecentTag + I;
    Item.OnClick := RecentItemClick;
    FileMenu.Insert(RecentSeparator.MenuIndex + 1 + I, Item);
  end;
  RecentSeparator.Visible := MRU.Count > 0;
  ClearItem.Enabled := MRU.Count > 0;
end;

end.
