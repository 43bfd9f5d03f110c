{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Library version                                 }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlVersion;

{$I cvl.inc}

{ The version of the library a program was built with, and comparison of
  version texts, for programs and add-ons that need a minimum version:

    if not cvlVersionAtLeast('4.05') then
      raise Exception.Create('Corvane library 4.05 or later is required'); }

interface

uses
  SysUtils, cvlConsts;

const
  cvlVersionMajor = 4;
  cvlVersionMinor = 7;
  cvlVersionRelease = 0;
  cvlVersionText = cvlLibVersion;
  cvlEditionText = 'trial Delphi version';
  cvlIsTrial = True;

type
  TcvlVersion = record
    Major, Minor, Release: Integer;
  end;

function cvlCurrentVersion: TcvlVersion;
{ '4.07', '4.7', '4.7.1': numbers separated by dots; missing parts are 0.
  Minor numbers are written with two digits by convention, so '4.07' and
  '4.7' are the same version. }
function cvlParseVersion(const Text: string; var Version: TcvlVersion): Boolean;
function cvlCompareVersions(const A, B: TcvlVersion): Integer;
function cvlVersionAtLeast(const Required: string): Boolean;
function cvlVersionToText(const Version: TcvlVersion): string;
function cvlFullVersionText: string;

implementation

function cvlCurrentVersion: TcvlVersion;
begin
  Result.Major := cvlVersionMajor;
  Result.Minor := cvlVersionMinor;
  Result.Release := cvlVersionRelease;
end;

function TakePart(var S: string; var Value: Integer): Boolean;
var
  P, Code: Integer;
  Part: string;
begin
  P := Pos('.', S);
  if P = 0 then
    P := Length(S) + 1;
  Part := Copy(S, 1, P - 1);
  Delete(S, 1, P);
  Val(Part, Value, Code);
  Result := (Part <> '') and (Code = 0) and (Value >= 0);
end;

function cvlParseVersion(const Text: string; var Version: TcvlVersion): Boolean;
var
  S: string;
  V: TcvlVersion;
begin
  Result := False;
  S := Trim(Text);
  V.Minor := 0;
  V.Release := 0;
  if not TakePart(S, V.Major) then
    Exit;
  if (S <> '') and not TakePart(S, V.Minor) then
    Exit;
  if (S <> '') and not TakePart(S, V.Release) then
    Exit;
  if S <> '' then
    Exit;
  Version := V;
  Result := True;
end;

function Sign(Value: Integer): Integer;
begin
  if Value < 0 then
    Result := -1
  else if Value > 0 then
    Result := 1
  else
    Result := 0;
end;

function cvlCompareVersions(const A, B: TcvlVersion): Integer;
begin
  Result := Sign(A.Major - B.Major);
  if Result = 0 then
    Result := Sign(A.Minor - B.Minor);
  if Result = 0 then
    Result := Sign(A.Release - B.Release);
end;

function cvlVersionAtLeast(const Required: string): Boolean;
var
  V: TcvlVersion;
begin
  Result := cvlParseVersion(Required, V) and
    (cvlCompareVersions(cvlCurrentVersion, V) >= 0);
end;

function cvlVersionToText(const Version: TcvlVersion): string;
begin
  Result := IntToStr(Version.Major) + '.' + Format('%.2d', [Version.Minor]);
  if Version.Release <> 0 then
    Result := Result + '.' + IntToStr(Version.Release);
end;

function cvlFullVersionText: string;
begin
  Result := cvlProductName + ' v' + cvlVersionText + ' (' + cvlEditionText + ')';
end;

end.
