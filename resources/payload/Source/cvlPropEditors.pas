{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Property and component editors                  }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlPropEditors;

{$I cvl.inc}

{ Design-time only: this unit is part of the design-time package and must
  not be used by programs. }

interface

uses
  Windows, SysUtils, Classes, TypInfo, Forms, Dialogs,
  {$IFDEF CVL_D6UP} DesignIntf, DesignEditors, {$ELSE} DsgnIntf, {$ENDIF}
  cvlConsts, cvlTypes, cvlStorage, cvlIniStorage, cvlXmlStorage,
  cvlTemplates, cvlAbout;

type
  { About: shows the library's About box. }
  TcvlAboutProperty = class(TStringProperty)
  public
    function GetAttributes: TPropertyAttributes; override;
    function GetValue: string; override;
    procedure Edit; override;
  end;

  { FileName of the file storages: an Open dialog with the right filter. }
  TcvlFileNameProperty = class(TStringProperty)
  protected
    function Filter: string; virtual;
    function DefaultExt: string; virtual;
  public
    function GetAttributes: TPropertyAttributes; override;
    procedure Edit; override;
  end;

  TcvlIniFileNameProperty = class(TcvlFileNameProperty)
  protected
    function Filter: string; override;
    function DefaultExt: string; override;
  end;

  TcvlXmlFileNameProperty = class(TcvlFileNameProperty)
  protected
    function Filter: string; override;
    function DefaultExt: string; override;
  end;

  { Section of MRU lists and property storages: the sections that the
    linked storage already has, or a new name. }
  TcvlSectionProperty = class(TStringProperty)
  public
    function GetAttributes: TPropertyAttributes; override;
    procedure GetValues(Proc: TGetStrProc); override;
  end;

  { FirstRunTemplate of TcvlAppSettings: the templates of cvTempls.ini. }
  TcvlTemplateNameProperty = class(TStringProperty)
  public
    function GetAttributes: TPropertyAttributes; override;
    procedure GetValues(Proc: TGetStrProc); override;
  end;

  { Double click on a storage: edit its settings (Delphi 4 and later). }
  TcvlStorageEditor = class(TComponentEditor)
  public
    procedure Edit; override;
    procedure ExecuteVerb(Index: Integer); override;
    function GetVerb(Index: Integer): string; override;
    function GetVerbCount: Integer; override;
  end;

{$IFDEF CVL_D6UP}
  { Double click on a templates component: browse the templates. }
  TcvlTemplatesEditor = class(TComponentEditor)
  public
    procedure Edit; override;
    procedure ExecuteVerb(Index: Integer); override;
    function GetVerb(Index: Integer): string; override;
    function GetVerbCount: Integer; override;
  end;
{$ENDIF}

implementation

uses
  {$IFNDEF CVL_D3} cvlSettingsEditor, {$ENDIF}
  {$IFDEF CVL_D6UP} cvlTemplateDlg, {$ENDIF}
  cvlUtils;

{ TcvlAboutProperty }

function TcvlAboutProperty.GetAttributes: TPropertyAttributes;
begin
  Result := [paDialog, paReadOnly];
end;

function TcvlAboutProperty.GetValue: string;
begin
  Result := '(' + cvlProductName + ' v' + cvlLibVersion + ')';
end;

procedure TcvlAboutProperty.Edit;
begin
  cvlShowAbout(Application.Handle);
end;

{ TcvlFileNameProperty }

function TcvlFileNameProperty.GetAttributes: TPropertyAttributes;
begin
  Result := [paDialog];
end;

function TcvlFileNameProperty.Filter: string;
begin
  Result := 'All files (*.*)|*.*';
end;

function TcvlFileNameProperty.DefaultExt: string;
begin
  Result := '';
end;

procedure TcvlFileNameProperty.Edit;
var
  Dialog: TOpenDialog;
begin
  Dialog := TOpenDialog.Create(Application);
  try
    Dialog.Filter := Filter;
    Dialog.DefaultExt := DefaultExt;
    Dialog.FileName := GetValue;
    Dialog.Options := [ofHideReadOnly, ofPathMustExist];
    if Dialog.Execute then
      SetValue(Dialog.FileName);
  finally
    Dialog.Free;
  end;
end;

function TcvlIniFileNameProperty.Filter: string;
begin
  Result := 'Settings files (*.ini)|*.ini|All files (*.*)|*.*';
end;

function TcvlIniFileNameProperty.DefaultExt: string;
begin
  Result := 'ini';
end;

function TcvlXmlFileNameProperty.Filter: string;
begin
  Result := 'XML settings (*.xml)|*.xml|All files (*.*)|*.*';
end;

function TcvlXmlFileNameProperty.DefaultExt: string;
begin
  Result := 'xml';
end;

{ TcvlSectionProperty }

function TcvlSectionProperty.GetAttributes: TPropertyAttributes;
begin
  Result := [paValueList, paSortList, paMultiSelect];
end;

procedure TcvlSectionProperty.GetValues(Proc: TGetStrProc);
var
  Component: TPersistent;
  Storage: TObject;
  Names: TStringList;
  I: Integer;
begin
  Component := GetComponent(0);
  if GetPropInfo(Component.ClassInfo, 'Storage') = nil then
    Exit;
  Storage := TObject(GetOrdProp(Component, 'Storage'));
  if not (Storage is TcvlCustomStorage) then
    Exit;
  Names := TStringList.Create;
  try
    try
      TcvlCustomStorage(Storage).ReadSections('', Names);
    except
      { A storage whose file cannot be read offers no names. }
      Names.Clear;
    end;
    for I := 0 to Names.Count - 1 do
      Proc(Names[I]);
  finally
    Names.Free;
  end;
end;

{ TcvlTemplateNameProperty }

function TcvlTemplateNameProperty.GetAttributes: TPropertyAttributes;
begin
  Result := [paValueList, paSortList];
end;

procedure TcvlTemplateNameProperty.GetValues(Proc: TGetStrProc);
var
  Templates: TcvlTemplates;
  Names: TStringList;
  I: Integer;
begin
  Templates := TcvlTemplates.Create(nil);
  Names := TStringList.Create;
  try
    try
      Templates.GetTemplates(Names);
    except
      Names.Clear;
    end;
    for I := 0 to Names.Count - 1 do
      Proc(Names[I]);
  finally
    Names.Free;
    Templates.Free;
  end;
end;

{ TcvlStorageEditor }

procedure TcvlStorageEditor.Edit;
begin
{$IFNDEF CVL_D3}
  ExecuteVerb(0);
{$ELSE}
  ExecuteVerb(1);
{$ENDIF}
end;

procedure TcvlStorageEditor.ExecuteVerb(Index: Integer);
begin
  case Index of
{$IFNDEF CVL_D3}
    0:
      if cvlEditStorage(Component as TcvlCustomStorage) then
        Designer.Modified;
{$ENDIF}
    1:
      cvlShowAbout(Application.Handle);
  end;
end;

function TcvlStorageEditor.GetVerb(Index: Integer): string;
begin
  case Index of
    0: Result := SCvlEditSettings;
    1: Result := SCvlAboutVerb;
  else
    Result := '';
  end;
end;

function TcvlStorageEditor.GetVerbCount: Integer;
begin
  Result := 2;
end;

{$IFDEF CVL_D6UP}

{ TcvlTemplatesEditor }

procedure TcvlTemplatesEditor.Edit;
begin
  ExecuteVerb(0);
end;

procedure TcvlTemplatesEditor.ExecuteVerb(Index: Integer);
var
  Name: string;
begin
  case Index of
    0:
      begin
        Name := '';
        cvlSelectTemplate(Component as TcvlTemplates, Name);
      end;
    1:
      cvlShowAbout(Application.Handle);
  end;
end;

function TcvlTemplatesEditor.GetVerb(Index: Integer): string;
begin
  case Index of
    0: Result := SCvlApplyTemplate;
    1: Result := SCvlAboutVerb;
  else
    Result := '';
  end;
end;

function TcvlTemplatesEditor.GetVerbCount: Integer;
begin
  Result := 2;
end;

{$ENDIF}

end.
