{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings storage: the common base               }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlStorage;

{$I cvl.inc}

{ TcvlCustomStorage is what every component of the library talks to: typed
  reads and writes of values by section path and key, lists, binary data,
  encrypted values, enumeration and change notification. Descendants
  (memory, INI, XML, registry) implement only the raw text access of the
  Do* methods. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlCrypt,
  cvlEnvironment;

type
  TcvlCustomStorage = class(TComponent)
  private
    FOptions: TcvlStorageOptions;
    FRootSection: string;
    FCrypt: TcvlCrypt;
    FClients: TList;
    FUpdateCount: Integer;
    FModified: Boolean;
    FChangePending: Boolean;
    FOnReadValue: TcvlReadValueEvent;
    FOnWriteValue: TcvlWriteValueEvent;
    FOnChange: TNotifyEvent;
    procedure SetCrypt(Value: TcvlCrypt);
    procedure SetRootSection(const Value: string);
    function GetAbout: string;
    procedure SetAbout(const Value: string);
    function DecodeValue(const Section, Key, Raw: string): string;
  protected
    { Raw access. Section is the full path below the storage's own root. }
    function DoReadValue(const Section, Key: string; var Value: string): Boolean; virtual; abstract;
    procedure DoWriteValue(const Section, Key, Value: string); virtual; abstract;
    procedure DoDeleteValue(const Section, Key: string); virtual; abstract;
    procedure DoEraseSection(const Section: string); virtual; abstract;
    procedure DoReadKeys(const Section: string; Keys: TStrings); virtual; abstract;
    procedure DoReadSections(const Section: string; Sections: TStrings); virtual; abstract;
    function DoSectionExists(const Section: string): Boolean; virtual;
    procedure DoFlush; virtual;
    procedure DoReload; virtual;
    function GetActive: Boolean; virtual;

    function FullSection(const Section: string): string;
    procedure CheckKey(const Key: string);
    procedure CheckWritable;
    procedure Changed(Kind: TcvlChangeKind; const Section: string); virtual;
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;

    property About: string read GetAbout write SetAbout stored False;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;

    function ReadString(const Section, Key, Default: string): string;
    procedure WriteString(const Section, Key, Value: string);
    function ReadInteger(const Section, Key: string; Default: Integer): Integer;
    procedure WriteInteger(const Section, Key: string; Value: Integer);
    function ReadBool(const Section, Key: string; Default: Boolean): Boolean;
    procedure WriteBool(const Section, Key: string; Value: Boolean);
    function ReadFloat(const Section, Key: string; Default: Extended): Extended;
    procedure WriteFloat(const Section, Key: string; Value: Extended);
    function ReadDateTime(const Section, Key: string; Default: TDateTime): TDateTime;
    procedure WriteDateTime(const Section, Key: string; Value: TDateTime);
    { Binary data as hexadecimal text. Returns the number of bytes read. }
    function ReadBinary(const Section, Key: string; Stream: TStream): Integer;
    procedure WriteBinary(const Section, Key: string; Stream: TStream);
    { A value that is always written encrypted (needs Crypt). }
    function ReadSecret(const Section, Key, Default: string): string;
    procedure WriteSecret(const Section, Key, Value: string);
    { A list as Count and Item0..ItemN-1 in its own section. }
    procedure ReadStrings(const Section: string; List: TStrings);
    procedure WriteStrings(const Section: string; List: TStrings);
    { All values of a section as Name=Value lines. }
    procedure ReadSectionValues(const Section: string; List: TStrings);

    function ValueExists(const Section, Key: string): Boolean;
    function SectionExists(const Section: string): Boolean;
    procedure DeleteValue(const Section, Key: string);
    procedure EraseSection(const Section: string);
    procedure ReadKeys(const Section: string; Keys: TStrings);
    procedure ReadSections(const Section: string; Sections: TStrings);

    procedure BeginUpdate;
    procedure EndUpdate;
    procedure Flush;
    procedure Reload;

    procedure AddClient(Client: TComponent);
    procedure RemoveClient(Client: TComponent);

    property Active: Boolean read GetActive;
    property Modified: Boolean read FModified;
    { Public, not only published in the descendants, so that code that
      works on any storage (validators, the settings editor) can use them. }
    property Options: TcvlStorageOptions read FOptions write FOptions
      default [soAutoCreate];
    property RootSection: string read FRootSection write SetRootSection;
    property Crypt: TcvlCrypt read FCrypt write SetCrypt;
    property OnReadValue: TcvlReadValueEvent read FOnReadValue write FOnReadValue;
    property OnWriteValue: TcvlWriteValueEvent read FOnWriteValue write FOnWriteValue;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

  TcvlStorageClass = class of TcvlCustomStorage;

function cvlIsReadOnly(Storage: TcvlCustomStorage): Boolean;

implementation

function cvlIsReadOnly(Storage: TcvlCustomStorage): Boolean;
begin
  Result := soReadOnly in Storage.FOptions;
end;

{ TcvlCustomStorage }

constructor TcvlCustomStorage.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FOptions := [soAutoCreate];
  FClients := TList.Create;
end;

destructor TcvlCustomStorage.Destroy;
begin
  Changed(ckDestroy, '');
  while FClients.Count > 0 do
    RemoveClient(TComponent(FClients.Last));
  FClients.Free;
  inherited Destroy;
end;

function TcvlCustomStorage.GetActive: Boolean;
begin
  Result := True;
end;

function TcvlCustomStorage.GetAbout: string;
begin
  Result := cvlProductName + ' v' + cvlLibVersion;
end;

procedure TcvlCustomStorage.SetAbout(const Value: string);
begin
  { Read-only in the Object Inspector; the property editor shows the box. }
end;

procedure TcvlCustomStorage.SetCrypt(Value: TcvlCrypt);
begin
  if FCrypt <> Value then
  begin
    FCrypt := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlCustomStorage.SetRootSection(const Value: string);
var
  S: string;
begin
  S := cvlNormalizeSection(Value);
  if S <> FRootSection then
  begin
    FRootSection := S;
    Changed(ckReload, '');
  end;
end;

procedure TcvlCustomStorage.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if Operation = opRemove then
  begin
    if AComponent = FCrypt then
      FCrypt := nil;
    if FClients <> nil then
      FClients.Remove(AComponent);
  end;
end;

function TcvlCustomStorage.FullSection(const Section: string): string;
begin
  Result := cvlJoinSection(FRootSection, Section);
end;

procedure TcvlCustomStorage.CheckKey(const Key: string);
begin
  if Key = '' then
    raise EcvlStorageError.Create(SCvlKeyEmpty);
end;

procedure TcvlCustomStorage.CheckWritable;
begin
  if soReadOnly in FOptions then
    raise EcvlStorageError.CreateFmt(SCvlReadOnly, [Name]);
  if not Active then
    raise EcvlStorageError.CreateFmt(SCvlNotActive, [Name]);
end;

procedure TcvlCustomStorage.Changed(Kind: TcvlChangeKind; const Section: string);
var
  I: Integer;
  Client: IcvlStorageClient;
begin
  if Kind in [ckValue, ckSection] then
  begin
    FModified := True;
    if FUpdateCount > 0 then
    begin
      FChangePending := True;
      Exit;
    end;
    if soAutoFlush in FOptions then
      DoFlush;
  end;
  for I := FClients.Count - 1 downto 0 do
    if TComponent(FClients[I]).GetInterface(IcvlStorageClient, Client) then
      Client.StorageChanged(Self, Kind, Section);
  if Assigned(FOnChange) and (Kind <> ckDestroy) then
    FOnChange(Self);
end;

function TcvlCustomStorage.DoSectionExists(const Section: string): Boolean;
var
  Keys: TStringList;
begin
  Keys := TStringList.Create;
  try
    DoReadKeys(Section, Keys);
    Result := Keys.Count > 0;
    if not Result then
    begin
      DoReadSections(Section, Keys);
      Result := Keys.Count > 0;
    end;
  finally
    Keys.Free;
  end;
end;

procedure TcvlCustomStorage.DoFlush;
begin
end;

procedure TcvlCustomStorage.DoReload;
begin
end;

function TcvlCustomStorage.DecodeValue(const Section, Key, Raw: string): string;
var
  Where: string;
begin
  Result := Raw;
  Where := cvlJoinSection(Section, Key);
  if Copy(Raw, 1, Length(cvlCryptPrefix)) = cvlCryptPrefix then
  begin
    if FCrypt = nil then
      raise EcvlCryptError.CreateFmt(SCvlNoCryptKey, [Where]);
    if not FCrypt.Decrypt(Raw, Result) then
      raise EcvlCryptError.CreateFmt(SCvlCryptDamaged, [Where]);
  end
  else if soExpandMacros in FOptions then
    Result := cvlExpandMacros(Raw);
end;

function TcvlCustomStorage.ReadString(const Section, Key, Default: string): string;
var
  Raw: string;
begin
  CheckKey(Key);
  if Active and DoReadValue(FullSection(Section), Key, Raw) then
    Result := DecodeValue(Section, Key, Raw)
  else
    Result := Default;
  if Assigned(FOnReadValue) then
    FOnReadValue(Self, Section, Key, Result);
end;

procedure TcvlCustomStorage.WriteString(const Section, Key, Value: string);
var
  V: string;
  Allow: Boolean;
begin
  CheckKey(Key);
  CheckWritable;
  V := Value;
  Allow := True;
  if Assigned(FOnWriteValue) then
    FOnWriteValue(Self, Section, Key, V, Allow);
  if not Allow then
    Exit;
  if (soEncryptAll in FOptions) and (FCrypt <> nil) then
    V := FCrypt.Encrypt(V);
  DoWriteValue(FullSection(Section), Key, V);
  Changed(ckValue, Section);
end;

function TcvlCustomStorage.ReadInteger(const Section, Key: string; Default: Integer): Integer;
begin
  Result := Default;
  cvlTextToInt(ReadString(Section, Key, ''), Result);
end;

procedure TcvlCustomStorage.WriteInteger(const Section, Key: string; Value: Integer);
begin
  WriteString(Section, Key, cvlIntToText(Value));
end;

function TcvlCustomStorage.ReadBool(const Section, Key: string; Default: Boolean): Boolean;
begin
  Result := Default;
  cvlTextToBool(ReadString(Section, Key, ''), Result);
end;

procedure TcvlCustomStorage.WriteBool(const Section, Key: string; Value: Boolean);
begin
  WriteString(Section, Key, cvlBoolToText(Value));
end;

function TcvlCustomStorage.ReadFloat(const Section, Key: string; Default: Extended): Extended;
begin
  Result := Default;
  cvlTextToFloat(ReadString(Section, Key, ''), Result);
end;

procedure TcvlCustomStorage.WriteFloat(const Section, Key: string; Value: Extended);
begin
  WriteString(Section, Key, cvlFloatToText(Value));
end;

function TcvlCustomStorage.ReadDateTime(const Section, Key: string; Default: TDateTime): TDateTime;
begin
  Result := Default;
  cvlTextToDateTime(ReadString(Section, Key, ''), Result);
end;

procedure TcvlCustomStorage.WriteDateTime(const Section, Key: string; Value: TDateTime);
begin
  WriteString(Section, Key, cvlDateTimeToText(Value));
end;

function TcvlCustomStorage.ReadBinary(const Section, Key: string; Stream: TStream): Integer;
var
  Bytes: AnsiString;
begin
  Result := 0;
  if not cvlHexToStr(ReadString(Section, Key, ''), Bytes) then
    raise EcvlConvertError.CreateFmt(SCvlInvalidHex, [cvlJoinSection(Section, Key)]);
  if Bytes <> '' then
    Result := Stream.Write(Bytes[1], Length(Bytes));
end;

procedure TcvlCustomStorage.WriteBinary(const Section, Key: string; Stream: TStream);
var
  Bytes: AnsiString;
begin
  SetLength(Bytes, Stream.Size - Stream.Position);
  if Bytes <> '' then
    Stream.ReadBuffer(Bytes[1], Length(Bytes));
  WriteString(Section, Key, cvlStrToHex(Bytes));
end;

function TcvlCustomStorage.ReadSecret(const Section, Key, Default: string): string;
begin
  Result := ReadString(Section, Key, Default);
end;

procedure TcvlCustomStorage.WriteSecret(const Section, Key, Value: string);
begin
  if FCrypt = nil then
    raise EcvlCryptError.CreateFmt(SCvlNoCryptKey, [cvlJoinSection(Section, Key)]);
  if soEncryptAll in FOptions then
    WriteString(Section, Key, Value)  { encrypted there }
  else
    WriteString(Section, Key, FCrypt.Encrypt(Value));
end;

procedure TcvlCustomStorage.ReadStrings(const Section: string; List: TStrings);
var
  I, Count: Integer;
begin
  List.BeginUpdate;
  try
    List.Clear;
    Count := ReadInteger(Section, cvlListCountKey, 0);
    for I := 0 to Count - 1 do
      List.Add(ReadString(Section, cvlListItemPrefix + IntToStr(I), ''));
  finally
    List.EndUpdate;
  end;
end;

procedure TcvlCustomStorage.WriteStrings(const Section: string; List: TStrings);
var
  I: Integer;
begin
  BeginUpdate;
  try
    EraseSection(Section);
    WriteInteger(Section, cvlListCountKey, List.Count);
    for I := 0 to List.Count - 1 do
      WriteString(Section, cvlListItemPrefix + IntToStr(I), List[I]);
  finally
    EndUpdate;
  end;
end;

procedure TcvlCustomStorage.ReadSectionValues(const Section: string; List: TStrings);
var
  Keys: TStringList;
  I: Integer;
begin
  Keys := TStringList.Create;
  try
    ReadKeys(Section, Keys);
    List.BeginUpdate;
    try
      List.Clear;
      for I := 0 to Keys.Count - 1 do
        List.Add(Keys[I] + cvlNameValueSeparator + ReadString(Section, Keys[I], ''));
    finally
      List.EndUpdate;
    end;
  finally
    Keys.Free;
  end;
end;

function TcvlCustomStorage.ValueExists(const Section, Key: string): Boolean;
var
  Dummy: string;
begin
  Result := Active and (Key <> '') and DoReadValue(FullSection(Section), Key, Dummy);
end;

function TcvlCustomStorage.SectionExists(const Section: string): Boolean;
begin
  Result := Active and DoSectionExists(FullSection(Section));
end;

procedure TcvlCustomStorage.DeleteValue(const Section, Key: string);
begin
  CheckKey(Key);
  CheckWritable;
  DoDeleteValue(FullSection(Section), Key);
  Changed(ckValue, Section);
end;

procedure TcvlCustomStorage.EraseSection(const Section: string);
begin
  CheckWritable;
  DoEraseSection(FullSection(Section));
  Changed(ckSection, Section);
end;

procedure TcvlCustomStorage.ReadKeys(const Section: string; Keys: TStrings);
begin
  Keys.BeginUpdate;
  try
    Keys.Clear;
    if Active then
      DoReadKeys(FullSection(Section), Keys);
  finally
    Keys.EndUpdate;
  end;
end;

procedure TcvlCustomStorage.ReadSections(const Section: string; Sections: TStrings);
begin
  Sections.BeginUpdate;
  try
    Sections.Clear;
    if Active then
      DoReadSections(FullSection(Section), Sections);
  finally
    Sections.EndUpdate;
  end;
end;

procedure TcvlCustomStorage.BeginUpdate;
begin
  Inc(FUpdateCount);
end;

procedure TcvlCustomStorage.EndUpdate;
begin
  if FUpdateCount > 0 then
    Dec(FUpdateCount);
  if (FUpdateCount = 0) and FChangePending then
  begin
    FChangePending := False;
    Changed(ckSection, '');
  end;
end;

procedure TcvlCustomStorage.Flush;
begin
  if FModified and Active then
  begin
    DoFlush;
    FModified := False;
  end;
end;

procedure TcvlCustomStorage.Reload;
begin
  DoReload;
  FModified := False;
  Changed(ckReload, '');
end;

procedure TcvlCustomStorage.AddClient(Client: TComponent);
begin
  if (Client <> nil) and (FClients.IndexOf(Client) < 0) then
  begin
    FClients.Add(Client);
    Client.FreeNotification(Self);
  end;
end;

procedure TcvlCustomStorage.RemoveClient(Client: TComponent);
begin
  FClients.Remove(Client);
end;

end.
