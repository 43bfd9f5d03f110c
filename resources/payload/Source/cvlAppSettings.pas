{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Application settings in one component           }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlAppSettings;

{$I cvl.inc}

{ TcvlAppSettings is the one component most programs need: drop it on the
  main form or a data module, choose StorageKind, CompanyName and
  ApplicationName, and use Storage (or the Read/Write shortcuts). At start it
    1. creates the storage of the chosen kind (a /config: switch names
       another INI or XML file),
    2. applies FirstRunTemplate from cvTempls.ini when the storage is empty,
    3. makes the /profile: switch the active profile,
    4. writes the /set: overrides of the command line.
  The storage is flushed when the component is destroyed. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStorage, cvlMemStorage,
  cvlIniStorage, cvlXmlStorage, cvlRegStorage, cvlProfiles, cvlTemplates,
  cvlCmdLine, cvlEnvironment;

type
  TcvlAppSettings = class(TComponent)
  private
    FStorageKind: TcvlStorageKind;
    FCompanyName: string;
    FApplicationName: string;
    FFileName: string;
    FFirstRunTemplate: string;
    FUseCommandLine: Boolean;
    FStorage: TcvlCustomStorage;
    FProfiles: TcvlProfiles;
    FCommandLine: TcvlCommandLine;
    FOnOpen: TNotifyEvent;
    function GetStorage: TcvlCustomStorage;
    function GetProfiles: TcvlProfiles;
    function CreateStorage: TcvlCustomStorage;
    function ActualApplicationName: string;
    procedure ApplyFirstRunTemplate;
    procedure ApplyCommandLine;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure Open;
    procedure Close;
    function IsOpen: Boolean;
    function ReadString(const Section, Key, Default: string): string;
    procedure WriteString(const Section, Key, Value: string);
    function ReadInteger(const Section, Key: string; Default: Integer): Integer;
    procedure WriteInteger(const Section, Key: string; Value: Integer);
    function ReadBool(const Section, Key: string; Default: Boolean): Boolean;
    procedure WriteBool(const Section, Key: string; Value: Boolean);
    property Storage: TcvlCustomStorage read GetStorage;
    property Profiles: TcvlProfiles read GetProfiles;
    property CommandLine: TcvlCommandLine read FCommandLine;
  published
    property StorageKind: TcvlStorageKind read FStorageKind write FStorageKind default skIniFile;
    property CompanyName: string read FCompanyName write FCompanyName;
    property ApplicationName: string read FApplicationName write FApplicationName;
    { INI or XML file; empty: <AppData>\<Company>\<Application>.ini or .xml }
    property FileName: string read FFileName write FFileName;
    property FirstRunTemplate: string read FFirstRunTemplate write FFirstRunTemplate;
    property UseCommandLine: Boolean read FUseCommandLine write FUseCommandLine default True;
    property OnOpen: TNotifyEvent read FOnOpen write FOnOpen;
  end;

implementation

constructor TcvlAppSettings.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FStorageKind := skIniFile;
  FUseCommandLine := True;
  FCommandLine := TcvlCommandLine.Create(nil);
end;

destructor TcvlAppSettings.Destroy;
begin
  Close;
  FCommandLine.Free;
  inherited Destroy;
end;

function TcvlAppSettings.ActualApplicationName: string;
begin
  Result := FApplicationName;
  if Result = '' then
    Result := cvlApplicationName;
end;

function TcvlAppSettings.CreateStorage: TcvlCustomStorage;
var
  Dir, Name, Extension: string;
begin
  Name := FFileName;
  if FUseCommandLine then
    Name := FCommandLine.SwitchValue(cvlConfigSwitch, Name);
  Dir := cvlAddSlash(cvlAppDataDir);
  if FCompanyName <> '' then
    Dir := cvlAddSlash(Dir + FCompanyName);
  case FStorageKind of
    skRegistry:
      begin
        Result := TcvlRegStorage.Create(nil);
        TcvlRegStorage(Result).CompanyName := FCompanyName;
        TcvlRegStorage(Result).Path := 'Software\' + FCompanyName + '\' +
          ActualApplicationName;
      end;
    skXmlFile, skIniFile:
      begin
        if FStorageKind = skXmlFile then
        begin
          Result := TcvlXmlStorage.Create(nil);
          Extension := '.xml';
        end
        else
        begin
          Result := TcvlIniStorage.Create(nil);
          Extension := '.ini';
        end;
        if Name = '' then
          Name := Dir + ActualApplicationName + Extension;
        if Result is TcvlXmlStorage then
          TcvlXmlStorage(Result).FileName := Name
        else
          TcvlIniStorage(Result).FileName := Name;
      end;
  else
    Result := TcvlMemStorage.Create(nil);
  end;
end;

procedure TcvlAppSettings.Open;
begin
  if FStorage <> nil then
    Exit;
  FStorage := CreateStorage;
  FProfiles := TcvlProfiles.Create(nil);
  FProfiles.Storage := FStorage;
  ApplyFirstRunTemplate;
  if FUseCommandLine then
    ApplyCommandLine;
  if Assigned(FOnOpen) then
    FOnOpen(Self);
end;

procedure TcvlAppSettings.Close;
begin
  if FStorage = nil then
    Exit;
  try
    FStorage.Flush;
  finally
    FreeAndNil(FProfiles);
    FreeAndNil(FStorage);
  end;
end;

function TcvlAppSettings.IsOpen: Boolean;
begin
  Result := FStorage <> nil;
end;

procedure TcvlAppSettings.ApplyFirstRunTemplate;
var
  Templates: TcvlTemplates;
begin
  if (FFirstRunTemplate = '') or FStorage.SectionExists('') then
    Exit;
  Templates := TcvlTemplates.Create(nil);
  try
    { A missing template file or template is no reason to stop the program. }
    if Templates.TemplateExists(FFirstRunTemplate) then
      Templates.ApplyTemplate(FFirstRunTemplate, FStorage, '', False);
  finally
    Templates.Free;
  end;
end;

procedure TcvlAppSettings.ApplyCommandLine;
var
  Profile: string;
begin
  Profile := FCommandLine.SwitchValue(cvlProfileSwitch, '');
  if Profile <> '' then
  begin
    if not FProfiles.ProfileExists(Profile) then
      FProfiles.CreateProfile(Profile, '');
    FProfiles.ActiveProfile := Profile;
  end;
  FCommandLine.ApplyOverrides(FStorage);
end;

function TcvlAppSettings.GetStorage: TcvlCustomStorage;
begin
  Open;
  Result := FStorage;
end;

function TcvlAppSettings.GetProfiles: TcvlProfiles;
begin
  Open;
  Result := FProfiles;
end;

function TcvlAppSettings.ReadString(const Section, Key, Default: string): string;
begin
  Result := Storage.ReadString(Section, Key, Default);
end;

procedure TcvlAppSettings.WriteString(const Section, Key, Value: string);
begin
  Storage.WriteString(Section, Key, Value);
end;

function TcvlAppSettings.ReadInteger(const Section, Key: string; Default: Integer): Integer;
begin
  Result := Storage.ReadInteger(Section, Key, Default);
end;

procedure TcvlAppSettings.WriteInteger(const Section, Key: string; Value: Integer);
begin
  Storage.WriteInteger(Section, Key, Value);
end;

function TcvlAppSettings.ReadBool(const Section, Key: string; Default: Boolean): Boolean;
begin
  Result := Storage.ReadBool(Section, Key, Default);
end;

procedure TcvlAppSettings.WriteBool(const Section, Key: string; Value: Boolean);
begin
  Storage.WriteBool(Section, Key, Value);
end;

end.
