{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings editor of the storages                 }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlSettingsEditor;

{$I cvl.inc}

{ The dialog behind "Edit settings..." of every storage component: the
  section tree on the left, the values of the selected section on the right.
  It works on the storage itself, so it also serves programs that want to
  give their users a raw settings editor (see the SettingsEditor demo). }

interface

uses
  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs,
  StdCtrls, ComCtrls, ExtCtrls, cvlConsts, cvlTypes, cvlUtils, cvlStorage;

type
  TcvlSettingsEditorForm = class(TForm)
    Splitter: TSplitter;
    SectionTree: TTreeView;
    ValueList: TListView;
    ButtonPanel: TPanel;
    AddSectionButton: TButton;
    AddValueButton: TButton;
    EditValueButton: TButton;
    DeleteButton: TButton;
    CloseButton: TButton;
    procedure FormShow(Sender: TObject);
    procedure SectionTreeChange(Sender: TObject; Node: TTreeNode);
    procedure ValueListDblClick(Sender: TObject);
    procedure AddSectionButtonClick(Sender: TObject);
    procedure AddValueButtonClick(Sender: TObject);
    procedure EditValueButtonClick(Sender: TObject);
    procedure DeleteButtonClick(Sender: TObject);
  private
    FStorage: TcvlCustomStorage;
    FModified: Boolean;
    function NodePath(Node: TTreeNode): string;
    function CurrentSection: string;
    procedure FillTree;
    procedure FillChildren(Parent: TTreeNode; const Path: string);
    procedure FillValues;
    procedure EditValue(const Key: string);
  public
    property Storage: TcvlCustomStorage read FStorage write FStorage;
    property Modified: Boolean read FModified;
  end;

{ Shows the editor for Storage; True when something was changed. }
function cvlEditStorage(Storage: TcvlCustomStorage): Boolean;

implementation

{$R *.dfm}

function cvlEditStorage(Storage: TcvlCustomStorage): Boolean;
var
  Form: TcvlSettingsEditorForm;
begin
  Form := TcvlSettingsEditorForm.Create(Application);
  try
    Form.Storage := Storage;
    Form.Caption := Format(SCvlEditorCaption, [Storage.Name]);
    Form.ShowModal;
    Result := Form.Modified;
    if Result then
      Storage.Flush;
  finally
    Form.Free;
  end;
end;

procedure TcvlSettingsEditorForm.FormShow(Sender: TObject);
begin
  FillTree;
end;

function TcvlSettingsEditorForm.NodePath(Node: TTreeNode): string;
begin
  Result := '';
  { The root node stands for the storage itself and adds nothing. }
  while (Node <> nil) and (Node.Parent <> nil) do
  begin
    Result := cvlJoinSection(Node.Text, Result);
    Node := Node.Parent;
  end;
end;

function TcvlSettingsEditorForm.CurrentSection: string;
begin
  Result := NodePath(SectionTree.Selected);
end;

procedure TcvlSettingsEditorForm.FillChildren(Parent: TTreeNode; const Path: string);
var
  Names: TStringList;
  I: Integer;
begin
  Names := TStringList.Create;
  try
    FStorage.ReadSections(Path, Names);
    Names.Sort;
    for I := 0 to Names.Count - 1 do
      FillChildren(SectionTree.Items.AddChild(Parent, Names[I]),
        cvlJoinSection(Path, Names[I]));
  finally
    Names.Free;
  end;
end;

procedure TcvlSettingsEditorForm.FillTree;
var
  Root: TTreeNode;
begin
  SectionTree.Items.BeginUpdate;
  try
    SectionTree.Items.Clear;
    Root := SectionTree.Items.Add(nil, FStorage.Name);
    FillChildren(Root, '');
    Root.Expand(False);
    SectionTree.Selected := Root;
  finally
    SectionTree.Items.EndUpdate;
  end;
  FillValues;
end;

procedure TcvlSettingsEditorForm.FillValues;
var
  Names: TStringList;
  I: Integer;
  Item: TListItem;
begin
  Names := TStringList.Create;
  ValueList.Items.BeginUpdate;
  try
    ValueList.Items.Clear;
    FStorage.ReadKeys(CurrentSection, Names);
    for I := 0 to Names.Count - 1 do
    begin
      Item := ValueList.Items.Add;
      Item.Caption := Names[I];
      Item.SubItems.Add(FStorage.ReadString(CurrentSection, Names[I], ''));
    end;
  finally
    ValueList.Items.EndUpdate;
    Names.Free;
  end;
  EditValueButton.Enabled := ValueList.Items.Count > 0;
  DeleteButton.Enabled := (ValueList.Items.Count > 0) or
    (SectionTree.Selected <> SectionTree.Items.GetFirstNode);
end;

procedure TcvlSettingsEditorForm.SectionTreeChange(Sender: TObject; Node: TTreeNode);
begin
  FillValues;
end;

procedure TcvlSettingsEditorForm.EditValue(const Key: string);
var
  Value: string;
begin
  Value := FStorage.ReadString(CurrentSection, Key, '');
  if InputQuery(Caption, Key, Value) then
  begin
    FStorage.WriteString(CurrentSection, Key, Value);
    FModified := True;
    FillValues;
  end;
end;

procedure TcvlSettingsEditorForm.ValueListDblClick(Sender: TObject);
begin
  if ValueList.Selected <> nil then
    EditValue(ValueList.Selected.Caption);
end;

procedure TcvlSettingsEditorForm.EditValueButtonClick(Sender: TObject);
begin
  ValueListDblClick(Sender);
end;

procedure TcvlSettingsEditorForm.AddValueButtonClick(Sender: TObject);
var
  Key: string;
begin
  Key := '';
  if InputQuery(Caption, SCvlNewValue, Key) and (Trim(Key) <> '') then
    EditValue(Trim(Key));
end;

procedure TcvlSettingsEditorForm.AddSectionButtonClick(Sender: TObject);
var
  Name: string;
  Node: TTreeNode;
begin
  Name := '';
  if not InputQuery(Caption, SCvlNewSection, Name) or (Trim(Name) = '') then
    Exit;
  { A section exists in a storage only with a value in it. }
  Node := SectionTree.Items.AddChild(SectionTree.Selected, Trim(Name));
  SectionTree.Selected := Node;
  AddValueButtonClick(Sender);
end;

procedure TcvlSettingsEditorForm.DeleteButtonClick(Sender: TObject);
begin
  if ValueList.Selected <> nil then
  begin
    FStorage.DeleteValue(CurrentSection, ValueList.Selected.Caption);
    FModified := True;
    FillValues;
  end
  else if (SectionTree.Selected <> nil) and
    (SectionTree.Selected.Parent <> nil) and
    (MessageDlg(Format(SCvlDeleteSection, [CurrentSection]), mtConfirmation,
      [mbYes, mbNo], 0) = mrYes) then
  begin
    FStorage.EraseSection(CurrentSection);
    FModified := True;
    FillTree;
  end;
end;

end.
