{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Published properties in a storage               }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlPropStorage;

{$I cvl.inc}

{ TcvlPropStorage saves and restores published properties of the components
  of its owner, listed in StoredProps as 'Component.Property' (or just
  'Property' for the owner itself):

    StoredProps = ('Splitter1.Left', 'ViewMenu.Checked', 'Caption')

  Ordinal, enumeration, set, float, string and char properties are stored;
  the others are skipped. Enumerations and sets are stored by their names,
  so that a reordered type still reads back correctly. }

interface

uses
  SysUtils, Classes, TypInfo, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils,
  cvlStorage;

type
  TcvlPropStorage = class(TComponent)
  private
    FStorage: TcvlCustomStorage;
    FSection: string;
    FStoredProps: TStrings;
    FOnSave: TNotifyEvent;
    FOnRestore: TNotifyEvent;
    procedure SetStorage(Value: TcvlCustomStorage);
    procedure SetStoredProps(Value: TStrings);
    function ResolveProp(const PropPath: string; var Instance: TPersistent;
      var PropName: string): Boolean;
  protected
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;
    procedure Loaded; override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure Save;
    procedure Restore;
    function ActualSection: string;
  published
    property Storage: TcvlCustomStorage read FStorage write SetStorage;
    property Section: string read FSection write FSection;
    property StoredProps: TStrings read FStoredProps write SetStoredProps;
    property OnSave: TNotifyEvent read FOnSave write FOnSave;
    property OnRestore: TNotifyEvent read FOnRestore write FOnRestore;
  end;

{ A property's value as text and back; False for kinds that are not stored. }
function cvlGetPropText(Instance: TPersistent; const PropName: string;
  var Text: string): Boolean;
function cvlSetPropText(Instance: TPersistent; const PropName, Text: string): Boolean;

implementation

function PropTypeOf(PropInfo: PPropInfo): PTypeInfo;
begin
{$IFDEF FPC}
  Result := PropInfo^.PropType;
{$ELSE}
  Result := PropInfo^.PropType^;
{$ENDIF}
end;

function SetToText(TypeInfo: PTypeInfo; Value: Integer): string;
var
  ElemType: PTypeInfo;
  I: Integer;
begin
  Result := '';
{$IFDEF FPC}
  ElemType := GetTypeData(TypeInfo)^.CompType;
{$ELSE}
  ElemType := GetTypeData(TypeInfo)^.CompType^;
{$ENDIF}
  for I := 0 to 31 do
    if Value and (1 shl I) <> 0 then
    begin
      if Result <> '' then
        Result := Result + ',';
      Result := Result + GetEnumName(ElemType, I);
    end;
end;

function TextToSet(TypeInfo: PTypeInfo; const Text: string; var Value: Integer): Boolean;
var
  ElemType: PTypeInfo;
  Names: TStringList;
  I, E: Integer;
begin
  Result := False;
{$IFDEF FPC}
  ElemType := GetTypeData(TypeInfo)^.CompType;
{$ELSE}
  ElemType := GetTypeData(TypeInfo)^.CompType^;
{$ENDIF}
  Names := TStringList.Create;
  try
    cvlSplit(Text, ',', Names);
    Value := 0;
    for I := 0 to Names.Count - 1 do
    begin
      if Trim(Names[I]) = '' then
        Continue;
      E := GetEnumValue(ElemType, Trim(Names[I]));
      if (E < 0) or (E > 31) then
        Exit;
      Value := Value or (1 shl E);
    end;
    Result := True;
  finally
    Names.Free;
  end;
end;

function cvlGetPropText(Instance: TPersistent; const PropName: string;
  var Text: string): Boolean;
var
  Info: PPropInfo;
  TypeInfo: PTypeInfo;
begin
  Result := False;
  Info := GetPropInfo(Instance.ClassInfo, PropName);
  if Info = nil then
    Exit;
  TypeInfo := PropTypeOf(Info);
  Result := True;
  case TypeInfo^.Kind of
    tkInteger, tkChar{$IFDEF CVL_D4UP}, tkWChar{$ENDIF}:
      Text := IntToStr(GetOrdProp(Instance, Info));
    tkEnumeration:
      Text := GetEnumName(TypeInfo, GetOrdProp(Instance, Info));
    tkSet:
      Text := SetToText(TypeInfo, GetOrdProp(Instance, Info));
    tkFloat:
      Text := cvlFloatToText(GetFloatProp(Instance, Info));
    tkString, tkLString{$IFDEF CVL_D4UP}, tkWString{$ENDIF}
      {$IFDEF CVL_UNICODE}, tkUString{$ENDIF}{$IFDEF FPC}, tkAString, tkUString{$ENDIF}:
      Text := GetStrProp(Instance, Info);
  else
    Result := False;
  end;
end;

function cvlSetPropText(Instance: TPersistent; const PropName, Text: string): Boolean;
var
  Info: PPropInfo;
  TypeInfo: PTypeInfo;
  I: Integer;
  F: Extended;
begin
  Result := False;
  Info := GetPropInfo(Instance.ClassInfo, PropName);
  if (Info = nil) or (Info^.SetProc = nil) then
    Exit;
  TypeInfo := PropTypeOf(Info);
  case TypeInfo^.Kind of
    tkInteger, tkChar{$IFDEF CVL_D4UP}, tkWChar{$ENDIF}:
      if cvlTextToInt(Text, I) then
      begin
        SetOrdProp(Instance, Info, I);
        Result := True;
      end;
    tkEnumeration:
      begin
        I := GetEnumValue(TypeInfo, Text);
        if I >= 0 then
        begin
          SetOrdProp(Instance, Info, I);
          Result := True;
        end;
      end;
    tkSet:
      if TextToSet(TypeInfo, Text, I) then
      begin
        SetOrdProp(Instance, Info, I);
        Result := True;
      end;
    tkFloat:
      if cvlTextToFloat(Text, F) then
      begin
        SetFloatProp(Instance, Info, F);
        Result := True;
      end;
    tkString, tkLString{$IFDEF CVL_D4UP}, tkWString{$ENDIF}
      {$IFDEF CVL_UNICODE}, tkUString{$ENDIF}{$IFDEF FPC}, tkAString, tkUString{$ENDIF}:
      begin
        SetStrProp(Instance, Info, Text);
        Result := True;
      end;
  end;
end;

{ TcvlPropStorage }

constructor TcvlPropStorage.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FStoredProps := TStringList.Create;
  FSection := cvlPropertiesSection;
end;

destructor TcvlPropStorage.Destroy;
begin
  FStoredProps.Free;
  inherited Destroy;
end;

procedure TcvlPropStorage.SetStorage(Value: TcvlCustomStorage);
begin
  if FStorage <> Value then
  begin
    FStorage := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlPropStorage.SetStoredProps(Value: TStrings);
begin
  FStoredProps.Assign(Value);
end;

procedure TcvlPropStorage.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if (Operation = opRemove) and (AComponent = FStorage) then
    FStorage := nil;
end;

procedure TcvlPropStorage.Loaded;
begin
  inherited Loaded;
  if not (csDesigning in ComponentState) and (FStorage <> nil) then
    Restore;
end;

function TcvlPropStorage.ActualSection: string;
begin
  Result := FSection;
  if Owner <> nil then
    Result := cvlJoinSection(FSection, Owner.Name);
end;

function TcvlPropStorage.ResolveProp(const PropPath: string;
  var Instance: TPersistent; var PropName: string): Boolean;
var
  P: Integer;
  Comp: TComponent;
begin
  Result := False;
  if Owner = nil then
    Exit;
  P := Pos('.', PropPath);
  if P = 0 then
  begin
    Instance := Owner;
    PropName := Trim(PropPath);
  end
  else
  begin
    Comp := Owner.FindComponent(Trim(Copy(PropPath, 1, P - 1)));
    if Comp = nil then
      Exit;
    Instance := Comp;
    PropName := Trim(Copy(PropPath, P + 1, MaxInt));
  end;
  Result := PropName <> '';
end;

procedure TcvlPropStorage.Save;
var
  I: Integer;
  Instance: TPersistent;
  PropName, Text: string;
begin
  if FStorage = nil then
    raise EcvlStorageError.CreateFmt(SCvlNoStorage, [Name]);
  FStorage.BeginUpdate;
  try
    for I := 0 to FStoredProps.Count - 1 do
      if ResolveProp(FStoredProps[I], Instance, PropName) and
        cvlGetPropText(Instance, PropName, Text) then
        FStorage.WriteString(ActualSection, Trim(FStoredProps[I]), Text);
  finally
    FStorage.EndUpdate;
  end;
  if Assigned(FOnSave) then
    FOnSave(Self);
end;

procedure TcvlPropStorage.Restore;
var
  I: Integer;
  Instance: TPersistent;
  PropName, Key: string;
begin
  if FStorage = nil then
    raise EcvlStorageError.CreateFmt(SCvlNoStorage, [Name]);
  for I := 0 to FStoredProps.Count - 1 do
  begin
    Key := Trim(FStoredProps[I]);
    if (Key <> '') and FStorage.ValueExists(ActualSection, Key) and
      ResolveProp(Key, Instance, PropName) then
      cvlSetPropText(Instance, PropName, FStorage.ReadString(ActualSection, Key, ''));
  end;
  if Assigned(FOnRestore) then
    FOnRestore(Self);
end;

end.
