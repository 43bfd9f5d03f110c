{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Environment variables and path macros           }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlEnvironment;

{$I cvl.inc}

{ Settings often hold paths that differ from machine to machine. A storage
  with soExpandMacros expands, when reading,
    %NAME%     the environment variable NAME (left alone when it is not set)
    $(Name)    a macro: AppDir, AppName, Windows, Temp, AppData, Home, or one
               that the application registered with cvlSetMacro. }

interface

uses
  {$IFDEF CVL_WINDOWS} Windows, {$ENDIF}
  SysUtils, Classes, cvlUtils;

function cvlGetEnvironmentVariable(const Name: string): string;
function cvlExpandEnvironment(const S: string): string;
function cvlExpandMacros(const S: string): string;

procedure cvlSetMacro(const Name, Value: string);
function cvlGetMacro(const Name: string; var Value: string): Boolean;

function cvlWindowsDir: string;
function cvlTempDir: string;
function cvlAppDataDir: string;
function cvlHomeDir: string;

implementation

var
  UserMacros: TStringList = nil;

function cvlGetEnvironmentVariable(const Name: string): string;
{$IFDEF CVL_WINDOWS}
var
  Len: DWORD;
begin
  Result := '';
  Len := Windows.GetEnvironmentVariable(PChar(Name), nil, 0);
  if Len = 0 then
    Exit;
  SetLength(Result, Len);
  Len := Windows.GetEnvironmentVariable(PChar(Name), PChar(Result), Len);
  SetLength(Result, Len);
end;
{$ELSE}
begin
  Result := SysUtils.GetEnvironmentVariable(Name);
end;
{$ENDIF}

{ Replaces Open + Name + Close by Lookup(Name); an unknown name stays as it
  is, so that a text with a lone % or $( survives unchanged. }
type
  TLookup = function(const Name: string; var Value: string): Boolean;

function ExpandDelimited(const S, Open, Close: string; Lookup: TLookup): string;
var
  Rest, Name, Value: string;
  P, Q: Integer;
begin
  Result := '';
  Rest := S;
  P := Pos(Open, Rest);
  while P > 0 do
  begin
    Result := Result + Copy(Rest, 1, P - 1);
    Delete(Rest, 1, P - 1);
    Q := Pos(Close, Copy(Rest, Length(Open) + 1, MaxInt));
    if Q = 0 then
      Break;
    Name := Copy(Rest, Length(Open) + 1, Q - 1);
    if (Name <> '') and Lookup(Name, Value) then
      Result := Result + Value
    else
      Result := Result + Copy(Rest, 1, Length(Open) + Q - 1 + Length(Close));
    Delete(Rest, 1, Length(Open) + Q - 1 + Length(Close));
    P := Pos(Open, Rest);
  end;
  Result := Result + Rest;
end;

function EnvLookup(const Name: string; var Value: string): Boolean;
begin
  Value := cvlGetEnvironmentVariable(Name);
  Result := Value <> '';
end;

function cvlExpandEnvironment(const S: string): string;
begin
  Result := ExpandDelimited(S, '%', '%', EnvLookup);
end;

function BuiltInMacro(const Name: string; var Value: string): Boolean;
begin
  Result := True;
  if CompareText(Name, 'AppDir') = 0 then
    Value := cvlRemoveSlash(cvlApplicationDir)
  else if CompareText(Name, 'AppName') = 0 then
    Value := cvlApplicationName
  else if CompareText(Name, 'Windows') = 0 then
    Value := cvlWindowsDir
  else if CompareText(Name, 'Temp') = 0 then
    Value := cvlTempDir
  else if CompareText(Name, 'AppData') = 0 then
    Value := cvlAppDataDir
  else if CompareText(Name, 'Home') = 0 then
    Value := cvlHomeDir
  else
    Result := False;
end;

function cvlGetMacro(const Name: string; var Value: string): Boolean;
var
  I: Integer;
begin
  if UserMacros <> nil then
  begin
    I := UserMacros.IndexOfName(Name);
    if I >= 0 then
    begin
      Value := Copy(UserMacros[I], Length(Name) + 2, MaxInt);
      Result := True;
      Exit;
    end;
  end;
  Result := BuiltInMacro(Name, Value);
end;

function cvlExpandMacros(const S: string): string;
begin
  Result := cvlExpandEnvironment(ExpandDelimited(S, '$(', ')', cvlGetMacro));
end;

procedure cvlSetMacro(const Name, Value: string);
var
  I: Integer;
begin
  if UserMacros = nil then
    UserMacros := TStringList.Create;
  I := UserMacros.IndexOfName(Name);
  if I >= 0 then
    UserMacros.Delete(I);
  if Value <> '' then
    UserMacros.Add(Name + '=' + Value);
end;

function cvlWindowsDir: string;
{$IFDEF CVL_WINDOWS}
var
  Buf: array[0..MAX_PATH] of Char;
begin
  SetString(Result, Buf, GetWindowsDirectory(Buf, MAX_PATH));
end;
{$ELSE}
begin
  { Where a system-wide settings template lives on other systems. }
  Result := '/etc';
end;
{$ENDIF}

function cvlTempDir: string;
{$IFDEF CVL_WINDOWS}
var
  Buf: array[0..MAX_PATH] of Char;
begin
  SetString(Result, Buf, GetTempPath(MAX_PATH, Buf));
  Result := cvlRemoveSlash(Result);
end;
{$ELSE}
begin
  Result := cvlGetEnvironmentVariable('TMPDIR');
  if Result = '' then
    Result := '/tmp';
end;
{$ENDIF}

function cvlAppDataDir: string;
begin
{$IFDEF CVL_WINDOWS}
  Result := cvlGetEnvironmentVariable('APPDATA');
  if Result = '' then
    Result := cvlRemoveSlash(cvlApplicationDir);
{$ELSE}
  Result := cvlGetEnvironmentVariable('XDG_CONFIG_HOME');
  if Result = '' then
    Result := cvlHomeDir + '/.config';
{$ENDIF}
end;

function cvlHomeDir: string;
begin
{$IFDEF CVL_WINDOWS}
  Result := cvlGetEnvironmentVariable('USERPROFILE');
{$ELSE}
  Result := cvlGetEnvironmentVariable('HOME');
{$ENDIF}
end;

initialization
finalization
  UserMacros.Free;
end.
