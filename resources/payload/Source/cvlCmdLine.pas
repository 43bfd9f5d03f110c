{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings from the command line                  }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlCmdLine;

{$I cvl.inc}

{ Parses the program's command line into switches and plain parameters and
  lets switches override settings for one run:

    MyApp.exe /profile:Laptop /set:Editor\FontSize=12 -config="D:\my.ini" a.txt

  A switch starts with '/' or '-' (also '--'); its value follows ':' or '='.
  Switch names ignore letter case. /set:Section\Key=Value switches are the
  overrides that ApplyOverrides writes to a storage. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage;

type
  TcvlCommandLine = class(TComponent)
  private
    FSwitches: TStringList;
    FParams: TStringList;
    FOverrides: TStringList;
    FParsed: Boolean;
    procedure EnsureParsed;
    function GetParamCount: Integer;
    function GetParam(Index: Integer): string;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    { Parses the given arguments instead of the program's own. }
    procedure Parse(Args: TStrings);
    function HasSwitch(const Name: string): Boolean;
    function SwitchValue(const Name, Default: string): string;
    { Writes every /set: override to Storage; returns how many. }
    function ApplyOverrides(Storage: TcvlCustomStorage): Integer;
    property ParamCount: Integer read GetParamCount;
    property Params[Index: Integer]: string read GetParam;
    property Overrides: TStringList read FOverrides;
  end;

{ Splits one argument into switch name and value; False for a plain one. }
function cvlParseSwitch(const Arg: string; var Name, Value: string): Boolean;

implementation

function cvlParseSwitch(const Arg: string; var Name, Value: string): Boolean;
var
  S: string;
  I: Integer;
begin
  Result := False;
  S := Arg;
  if (Length(S) < 2) or ((S[1] <> '/') and (S[1] <> '-')) then
    Exit;
  Delete(S, 1, 1);
  if (S <> '') and (S[1] = '-') then
    Delete(S, 1, 1);
  I := 1;
  while (I <= Length(S)) and (S[I] <> ':') and (S[I] <> '=') do
    Inc(I);
  Name := Copy(S, 1, I - 1);
  if Name = '' then
    Exit;
  Value := cvlDequote(Copy(S, I + 1, MaxInt));
  Result := True;
end;

constructor TcvlCommandLine.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FSwitches := TStringList.Create;
  FParams := TStringList.Create;
  FOverrides := TStringList.Create;
end;

destructor TcvlCommandLine.Destroy;
begin
  FOverrides.Free;
  FParams.Free;
  FSwitches.Free;
  inherited Destroy;
end;

procedure TcvlCommandLine.Parse(Args: TStrings);
var
  I: Integer;
  Name, Value: string;
begin
  FSwitches.Clear;
  FParams.Clear;
  FOverrides.Clear;
  for I := 0 to Args.Count - 1 do
    if cvlParseSwitch(Args[I], Name, Value) then
    begin
      if CompareText(Name, cvlSetSwitch) = 0 then
      begin
        if Pos('=', Value) > 1 then
          FOverrides.Add(Value);
      end
      else
        FSwitches.Add(LowerCase(Name) + '=' + Value);
    end
    else
      FParams.Add(Args[I]);
  FParsed := True;
end;

procedure TcvlCommandLine.EnsureParsed;
var
  Args: TStringList;
  I: Integer;
begin
  if FParsed then
    Exit;
  Args := TStringList.Create;
  try
    for I := 1 to System.ParamCount do
      Args.Add(ParamStr(I));
    Parse(Args);
  finally
    Args.Free;
  end;
end;

function TcvlCommandLine.GetParamCount: Integer;
begin
  EnsureParsed;
  Result := FParams.Count;
end;

function TcvlCommandLine.GetParam(Index: Integer): string;
begin
  EnsureParsed;
  Result := FParams[Index];
end;

function TcvlCommandLine.HasSwitch(const Name: string): Boolean;
begin
  EnsureParsed;
  Result := FSwitches.IndexOfName(LowerCase(Name)) >= 0;
end;

function TcvlCommandLine.SwitchValue(const Name, Default: string): string;
var
  I: Integer;
begin
  EnsureParsed;
  I := FSwitches.IndexOfName(LowerCase(Name));
  if I >= 0 then
    Result := cvlValueOf(FSwitches[I])
  else
    Result := Default;
end;

function TcvlCommandLine.ApplyOverrides(Storage: TcvlCustomStorage): Integer;
var
  I: Integer;
  Path, Section, Key: string;
begin
  EnsureParsed;
  Result := 0;
  for I := 0 to FOverrides.Count - 1 do
  begin
    Path := cvlNormalizeSection(cvlNameOf(FOverrides[I]));
    Section := cvlParentSection(Path);
    Key := cvlSectionName(Path);
    if Key = '' then
      Continue;
    Storage.WriteString(Section, Key, cvlValueOf(FOverrides[I]));
    Inc(Result);
  end;
end;

end.
