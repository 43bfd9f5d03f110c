{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings in the Windows registry                }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlRegStorage;

{$I cvl.inc}

{ Sections are subkeys of Root\Path, keys are values. Values are written as
  REG_SZ text like in the other storages; DWORD values written by other
  programs are read as their decimal text. Without a Path the storage uses
  Software\<CompanyName>\<application name>. }

interface

uses
  {$IFDEF CVL_WINDOWS} Windows, {$ENDIF}
  SysUtils, Classes, Registry, cvlConsts, cvlTypes, cvlUtils, cvlStorage;

type
  TcvlRegStorage = class(TcvlCustomStorage)
  private
    FRoot: TcvlRegistryRoot;
    FPath: string;
    FCompanyName: string;
    function CreateRegistry: TRegistry;
    function KeyOf(const Section: string): string;
    function OpenKey(Reg: TRegistry; const Section: string; CanCreate: Boolean): Boolean;
  protected
    function DoReadValue(const Section, Key: string; var Value: string): Boolean; override;
    procedure DoWriteValue(const Section, Key, Value: string); override;
    procedure DoDeleteValue(const Section, Key: string); override;
    procedure DoEraseSection(const Section: string); override;
    procedure DoReadKeys(const Section: string; Keys: TStrings); override;
    procedure DoReadSections(const Section: string; Sections: TStrings); override;
    function DoSectionExists(const Section: string): Boolean; override;
  public
    constructor Create(AOwner: TComponent); override;
    function ActualPath: string;
  published
    property Root: TcvlRegistryRoot read FRoot write FRoot default rrCurrentUser;
    property Path: string read FPath write FPath;
    property CompanyName: string read FCompanyName write FCompanyName;
    property Options;
    property RootSection;
    property Crypt;
    property About;
    property OnReadValue;
    property OnWriteValue;
    property OnChange;
  end;

function cvlRegistryRootKey(Root: TcvlRegistryRoot): HKEY;

implementation

function cvlRegistryRootKey(Root: TcvlRegistryRoot): HKEY;
begin
  case Root of
    rrLocalMachine: Result := HKEY_LOCAL_MACHINE;
    rrClassesRoot: Result := HKEY_CLASSES_ROOT;
    rrUsers: Result := HKEY_USERS;
  else
    Result := HKEY_CURRENT_USER;
  end;
end;

constructor TcvlRegStorage.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FRoot := rrCurrentUser;
end;

function TcvlRegStorage.ActualPath: string;
begin
  Result := cvlNormalizeSection(FPath);
  if Result = '' then
  begin
    Result := 'Software';
    if FCompanyName <> '' then
      Result := Result + '\' + FCompanyName;
    Result := Result + '\' + cvlApplicationName;
  end;
end;

function TcvlRegStorage.CreateRegistry: TRegistry;
begin
  Result := TRegistry.Create;
  Result.RootKey := cvlRegistryRootKey(FRoot);
end;

function TcvlRegStorage.KeyOf(const Section: string): string;
begin
  Result := '\' + cvlJoinSection(ActualPath, Section);
end;

function TcvlRegStorage.OpenKey(Reg: TRegistry; const Section: string;
  CanCreate: Boolean): Boolean;
begin
  if CanCreate then
    Result := Reg.OpenKey(KeyOf(Section), soAutoCreate in Options)
  else
{$IFDEF CVL_D4UP}
    Result := Reg.OpenKeyReadOnly(KeyOf(Section));
{$ELSE}
    Result := Reg.OpenKey(KeyOf(Section), False);
{$ENDIF}
end;

function TcvlRegStorage.DoReadValue(const Section, Key: string; var Value: string): Boolean;
var
  Reg: TRegistry;
begin
  Result := False;
  Reg := CreateRegistry;
  try
    if not OpenKey(Reg, Section, False) or not Reg.ValueExists(Key) then
      Exit;
    case Reg.GetDataType(Key) of
      rdString, rdExpandString:
        Value := Reg.ReadString(Key);
      rdInteger:
        Value := IntToStr(Reg.ReadInteger(Key));
    else
      Exit;  { binary data of another program: not a setting of ours }
    end;
    Result := True;
  finally
    Reg.Free;
  end;
end;

procedure TcvlRegStorage.DoWriteValue(const Section, Key, Value: string);
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    if not OpenKey(Reg, Section, True) then
      raise EcvlStorageError.CreateFmt(SCvlCannotWrite, [KeyOf(Section)]);
    Reg.WriteString(Key, Value);
  finally
    Reg.Free;
  end;
end;

procedure TcvlRegStorage.DoDeleteValue(const Section, Key: string);
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    if Reg.OpenKey(KeyOf(Section), False) then
      Reg.DeleteValue(Key);
  finally
    Reg.Free;
  end;
end;

{ Empties the storage's own key: its subkeys and its values. The key itself
  stays, because it may be shared with settings the storage does not own. }
procedure ClearKey(Reg: TRegistry; const Key: string);
var
  Names: TStringList;
  I: Integer;
begin
  Names := TStringList.Create;
  try
    if not Reg.OpenKey(Key, False) then
      Exit;
    Reg.GetKeyNames(Names);
    Reg.CloseKey;
    for I := 0 to Names.Count - 1 do
      Reg.DeleteKey(Key + '\' + Names[I]);
    if not Reg.OpenKey(Key, False) then
      Exit;
    Reg.GetValueNames(Names);
    for I := 0 to Names.Count - 1 do
      Reg.DeleteValue(Names[I]);
  finally
    Names.Free;
  end;
end;

procedure TcvlRegStorage.DoEraseSection(const Section: string);
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    if cvlNormalizeSection(Section) = '' then
      ClearKey(Reg, KeyOf(''))
    else
      Reg.DeleteKey(KeyOf(Section));  { with its subkeys }
  finally
    Reg.Free;
  end;
end;

procedure TcvlRegStorage.DoReadKeys(const Section: string; Keys: TStrings);
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    if OpenKey(Reg, Section, False) then
      Reg.GetValueNames(Keys);
  finally
    Reg.Free;
  end;
end;

procedure TcvlRegStorage.DoReadSections(const Section: string; Sections: TStrings);
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    if OpenKey(Reg, Section, False) then
      Reg.GetKeyNames(Sections);
  finally
    Reg.Free;
  end;
end;

function TcvlRegStorage.DoSectionExists(const Section: string): Boolean;
var
  Reg: TRegistry;
begin
  Reg := CreateRegistry;
  try
    Result := Reg.KeyExists(KeyOf(Section));
  finally
    Reg.Free;
  end;
end;

end.
