{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings in an INI file                         }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlIniStorage;

{$I cvl.inc}

{ The whole file is read into memory when the storage becomes active and
  written back by Flush (and when the component is destroyed, or after every
  change with soAutoFlush). Section paths are written as they are, so
  'Main\Window' becomes the header [Main\Window]. Without a FileName the
  storage uses the program's name with the extension .ini. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStorage, cvlMemStorage,
  cvlStreams, cvlEnvironment;

type
  TcvlIniStorage = class(TcvlMemStorage)
  private
    FFileName: string;
    FLoaded: Boolean;
    FEncoding: TcvlTextEncoding;
    FUtf8: Boolean;
    procedure SetFileName(const Value: string);
    procedure EnsureLoaded;
  protected
    function GetActive: Boolean; override;
    function DoReadValue(const Section, Key: string; var Value: string): Boolean; override;
    procedure DoWriteValue(const Section, Key, Value: string); override;
    procedure DoDeleteValue(const Section, Key: string); override;
    procedure DoEraseSection(const Section: string); override;
    procedure DoReadKeys(const Section: string; Keys: TStrings); override;
    procedure DoReadSections(const Section: string; Sections: TStrings); override;
    function DoSectionExists(const Section: string): Boolean; override;
    procedure DoFlush; override;
    procedure DoReload; override;
  public
    destructor Destroy; override;
    { The file name with macros expanded and the default applied. }
    function ActualFileName: string;
  published
    property FileName: string read FFileName write SetFileName;
    { Write new files as UTF-8 with a byte order mark. An existing file keeps
      the encoding it was read with. }
    property Utf8: Boolean read FUtf8 write FUtf8 default False;
  end;

implementation

destructor TcvlIniStorage.Destroy;
begin
  if not (csDesigning in ComponentState) then
  try
    Flush;
  except
    { A destructor must not raise; the file stays as it was. }
  end;
  inherited Destroy;
end;

function TcvlIniStorage.ActualFileName: string;
begin
  if FFileName = '' then
    Result := cvlDefaultFileName('.ini')
  else
  begin
    Result := cvlExpandMacros(FFileName);
    if ExtractFilePath(Result) = '' then
      Result := cvlApplicationDir + Result;
  end;
end;

procedure TcvlIniStorage.SetFileName(const Value: string);
begin
  if Value <> FFileName then
  begin
    if FLoaded and not (csLoading in ComponentState) then
      Flush;
    FFileName := Value;
    FLoaded := False;
    Clear;
  end;
end;

function TcvlIniStorage.GetActive: Boolean;
begin
  Result := not (csDesigning in ComponentState) or (FFileName <> '');
end;

procedure TcvlIniStorage.EnsureLoaded;
var
  Lines: TStringList;
  Name: string;
begin
  if FLoaded then
    Exit;
  FLoaded := True;
  if FUtf8 then
    FEncoding := teUtf8
  else
    FEncoding := teAnsi;
  Name := ActualFileName;
  if not FileExists(Name) then
    Exit;
  Lines := TStringList.Create;
  try
    FEncoding := cvlLoadTextFile(Name, Lines);
    LoadFromStrings(Lines);
  finally
    Lines.Free;
  end;
end;

function TcvlIniStorage.DoReadValue(const Section, Key: string; var Value: string): Boolean;
begin
  EnsureLoaded;
  Result := inherited DoReadValue(Section, Key, Value);
end;

procedure TcvlIniStorage.DoWriteValue(const Section, Key, Value: string);
begin
  EnsureLoaded;
  inherited DoWriteValue(Section, Key, Value);
end;

procedure TcvlIniStorage.DoDeleteValue(const Section, Key: string);
begin
  EnsureLoaded;
  inherited DoDeleteValue(Section, Key);
end;

procedure TcvlIniStorage.DoEraseSection(const Section: string);
begin
  EnsureLoaded;
  inherited DoEraseSection(Section);
end;

procedure TcvlIniStorage.DoReadKeys(const Section: string; Keys: TStrings);
begin
  EnsureLoaded;
  inherited DoReadKeys(Section, Keys);
end;

procedure TcvlIniStorage.DoReadSections(const Section: string; Sections: TStrings);
begin
  EnsureLoaded;
  inherited DoReadSections(Section, Sections);
end;

function TcvlIniStorage.DoSectionExists(const Section: string): Boolean;
begin
  EnsureLoaded;
  Result := inherited DoSectionExists(Section);
end;

procedure TcvlIniStorage.DoFlush;
var
  Lines: TStringList;
  Name: string;
begin
  if not FLoaded or (soReadOnly in Options) then
    Exit;
  Name := ActualFileName;
  if not FileExists(Name) and not (soAutoCreate in Options) then
    Exit;
  Lines := TStringList.Create;
  try
    SaveToStrings(Lines);
    cvlSaveTextFile(Name, Lines, FEncoding);
  finally
    Lines.Free;
  end;
end;

procedure TcvlIniStorage.DoReload;
begin
  Clear;
  FLoaded := False;
  EnsureLoaded;
end;

end.
