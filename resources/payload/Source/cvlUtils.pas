{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Value conversion and path helpers               }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlUtils;

{$I cvl.inc}

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes;

{ Section paths: 'Main\Window\Toolbar'. Leading, trailing and doubled
  delimiters carry no meaning and are removed. }
function cvlNormalizeSection(const Section: string): string;
function cvlJoinSection(const Parent, Child: string): string;
function cvlParentSection(const Section: string): string;
function cvlSectionName(const Section: string): string;
function cvlIsSubSection(const Section, Parent: string): Boolean;
function cvlRelativeSection(const Section, Parent: string): string;

{ Text forms of values. They do not depend on the user's locale, so that a
  settings file written on one machine reads the same on another. }
function cvlIntToText(Value: Integer): string;
function cvlTextToInt(const Text: string; var Value: Integer): Boolean;
function cvlFloatToText(Value: Extended): string;
function cvlTextToFloat(const Text: string; var Value: Extended): Boolean;
function cvlBoolToText(Value: Boolean): string;
function cvlTextToBool(const Text: string; var Value: Boolean): Boolean;
function cvlDateTimeToText(Value: TDateTime): string;
function cvlTextToDateTime(const Text: string; var Value: TDateTime): Boolean;

{ Files and folders. }
function cvlAddSlash(const Path: string): string;
function cvlRemoveSlash(const Path: string): string;
function cvlApplicationDir: string;
function cvlApplicationName: string;
function cvlDefaultFileName(const Extension: string): string;
function cvlForceDirectories(const Dir: string): Boolean;

{$IFNDEF CVL_D6UP}
{ What SysUtils of Delphi 6 and later has. }
const
  PathDelim = '\';

function DirectoryExists(const Dir: string): Boolean;
{$ENDIF}

{$IFNDEF CVL_D5UP}
procedure FreeAndNil(var Obj);
{$ENDIF}

implementation

{ Sections }

function cvlNormalizeSection(const Section: string): string;
var
  I: Integer;
  PrevDelim: Boolean;
begin
  Result := '';
  PrevDelim := True;
  for I := 1 to Length(Section) do
    if (Section[I] = cvlSectionDelimiter) or (Section[I] = '/') then
    begin
      if not PrevDelim then
        Result := Result + cvlSectionDelimiter;
      PrevDelim := True;
    end
    else
    begin
      Result := Result + Section[I];
      PrevDelim := False;
    end;
  if (Result <> '') and (Result[Length(Result)] = cvlSectionDelimiter) then
    SetLength(Result, Length(Result) - 1);
end;

function cvlJoinSection(const Parent, Child: string): string;
var
  P, C: string;
begin
  P := cvlNormalizeSection(Parent);
  C := cvlNormalizeSection(Child);
  if P = '' then
    Result := C
  else if C = '' then
    Result := P
  else
    Result := P + cvlSectionDelimiter + C;
end;

function LastDelimiter(const S: string): Integer;
begin
  Result := Length(S);
  while (Result > 0) and (S[Result] <> cvlSectionDelimiter) do
    Dec(Result);
end;

function cvlParentSection(const Section: string): string;
var
  S: string;
begin
  S := cvlNormalizeSection(Section);
  Result := Copy(S, 1, LastDelimiter(S) - 1);
end;

function cvlSectionName(const Section: string): string;
var
  S: string;
begin
  S := cvlNormalizeSection(Section);
  Result := Copy(S, LastDelimiter(S) + 1, MaxInt);
end;

function cvlIsSubSection(const Section, Parent: string): Boolean;
var
  S, P: string;
begin
  S := cvlNormalizeSection(Section);
  P := cvlNormalizeSection(Parent);
  if P = '' then
    Result := S <> ''
  else
    Result := (Length(S) > Length(P) + 1) and
      (S[Length(P) + 1] = cvlSectionDelimiter) and
      (CompareText(Copy(S, 1, Length(P)), P) = 0);
end;

function cvlRelativeSection(const Section, Parent: string): string;
var
  P: string;
begin
  Result := cvlNormalizeSection(Section);
  P := cvlNormalizeSection(Parent);
  if (P <> '') and cvlIsSubSection(Result, P) then
    Delete(Result, 1, Length(P) + 1)
  else if CompareText(Result, P) = 0 then
    Result := '';
end;

{ Values }

function cvlIntToText(Value: Integer): string;
begin
  Result := IntToStr(Value);
end;

function cvlTextToInt(const Text: string; var Value: Integer): Boolean;
var
  Code: Integer;
  V: Integer;
begin
  { Val accepts the same forms as the compiler: 12, -3, $1F }
  Val(Trim(Text), V, Code);
  Result := (Code = 0) and (Trim(Text) <> '');
  if Result then
    Value := V;
end;

function cvlFloatToText(Value: Extended): string;
var
  S: ShortString;
  I: Integer;
begin
  { Str writes a dot whatever the locale. Fixed notation reads best for the
    usual sizes; the others keep every digit in exponent notation. }
  if (Value <> 0) and ((Abs(Value) < 1E-4) or (Abs(Value) >= 1E15)) then
  begin
    Str(Value, S);
    Result := Trim(string(S));
    Exit;
  end;
  Str(Value: 0: 15, S);
  Result := string(S);
  if Pos('.', Result) > 0 then
  begin
    I := Length(Result);
    while Result[I] = '0' do
      Dec(I);
    if Result[I] = '.' then
      Dec(I);
    SetLength(Result, I);
  end;
end;

function cvlTextToFloat(const Text: string; var Value: Extended): Boolean;
var
  S: string;
  Code, I: Integer;
  V: Extended;
begin
  S := Trim(Text);
  { A comma written by an older version that used the locale's separator. }
  for I := 1 to Length(S) do
    if S[I] = ',' then
      S[I] := '.';
  Val(S, V, Code);
  Result := (Code = 0) and (S <> '');
  if Result then
    Value := V;
end;

function cvlBoolToText(Value: Boolean): string;
begin
  if Value then
    Result := cvlTrueText
  else
    Result := cvlFalseText;
end;

function WordInList(const Word, List: string): Boolean;
begin
  Result := (Word <> '') and
    (Pos(',' + LowerCase(Word) + ',', ',' + List + ',') > 0);
end;

function cvlTextToBool(const Text: string; var Value: Boolean): Boolean;
var
  S: string;
begin
  S := Trim(Text);
  Result := True;
  if WordInList(S, cvlTrueWords) then
    Value := True
  else if WordInList(S, cvlFalseWords) then
    Value := False
  else
    Result := False;
end;

function Pad(Value, Width: Integer): string;
begin
  Result := IntToStr(Value);
  while Length(Result) < Width do
    Result := '0' + Result;
end;

{ ISO 8601 without time zone: 2021-03-15T14:05:09; a date alone is accepted. }
function cvlDateTimeToText(Value: TDateTime): string;
var
  Y, M, D, H, N, S, MS: Word;
begin
  DecodeDate(Value, Y, M, D);
  DecodeTime(Value, H, N, S, MS);
  Result := Pad(Y, 4) + '-' + Pad(M, 2) + '-' + Pad(D, 2) + 'T' +
    Pad(H, 2) + ':' + Pad(N, 2) + ':' + Pad(S, 2);
end;

function TakeNumber(const S: string; var P: Integer; Digits: Integer;
  var Value: Word): Boolean;
var
  I: Integer;
begin
  Result := False;
  Value := 0;
  for I := 1 to Digits do
  begin
    if (P > Length(S)) or (S[P] < '0') or (S[P] > '9') then
      Exit;
    Value := Value * 10 + Ord(S[P]) - Ord('0');
    Inc(P);
  end;
  Result := True;
end;

function TakeChar(const S: string; var P: Integer; C: Char): Boolean;
begin
  Result := (P <= Length(S)) and (S[P] = C);
  if Result then
    Inc(P);
end;

function cvlTextToDateTime(const Text: string; var Value: TDateTime): Boolean;
var
  S: string;
  P: Integer;
  Y, M, D, H, N, Sec: Word;
begin
  Result := False;
  S := Trim(Text);
  P := 1;
  H := 0;
  N := 0;
  Sec := 0;
  if not (TakeNumber(S, P, 4, Y) and TakeChar(S, P, '-') and
    TakeNumber(S, P, 2, M) and TakeChar(S, P, '-') and
    TakeNumber(S, P, 2, D)) then
    Exit;
  if (P <= Length(S)) and ((S[P] = 'T') or (S[P] = ' ')) then
  begin
    Inc(P);
    if not (TakeNumber(S, P, 2, H) and TakeChar(S, P, ':') and
      TakeNumber(S, P, 2, N)) then
      Exit;
    if TakeChar(S, P, ':') and not TakeNumber(S, P, 2, Sec) then
      Exit;
  end;
  if (P <= Length(S)) or (M < 1) or (M > 12) or (D < 1) or (D > 31) or
    (H > 23) or (N > 59) or (Sec > 59) then
    Exit;
  try
    Value := EncodeDate(Y, M, D) + EncodeTime(H, N, Sec, 0);
    Result := True;
  except
    on EConvertError do
      Result := False;  { 2021-02-30 }
  end;
end;

{ Files }

function IsSlash(C: Char): Boolean;
begin
  Result := (C = '\') or (C = '/');
end;

function cvlAddSlash(const Path: string): string;
begin
  Result := Path;
  if (Result <> '') and not IsSlash(Result[Length(Result)]) then
    Result := Result + PathDelim;
end;

function cvlRemoveSlash(const Path: string): string;
begin
  Result := Path;
  while (Length(Result) > 1) and IsSlash(Result[Length(Result)]) and
    not ((Length(Result) = 3) and (Result[2] = ':')) do
    SetLength(Result, Length(Result) - 1);
end;

function cvlApplicationDir: string;
begin
  Result := ExtractFilePath(ParamStr(0));
end;

function cvlApplicationName: string;
begin
  Result := ChangeFileExt(ExtractFileName(ParamStr(0)), '');
end;

function cvlDefaultFileName(const Extension: string): string;
begin
  Result := ChangeFileExt(ParamStr(0), Extension);
end;

function cvlForceDirectories(const Dir: string): Boolean;
var
  D: string;
begin
  D := cvlRemoveSlash(Dir);
  if (D = '') or DirectoryExists(D) then
    Result := True
  else if ExtractFilePath(D) = D then
    Result := False  { a drive that does not exist }
  else
    Result := cvlForceDirectories(ExtractFilePath(D)) and CreateDir(D);
end;

{$IFNDEF CVL_D6UP}
function DirectoryExists(const Dir: string): Boolean;
var
  Attr: Integer;
begin
  Attr := FileGetAttr(Dir);
  Result := (Attr <> -1) and (Attr and faDirectory <> 0);
end;
{$ENDIF}

{$IFNDEF CVL_D5UP}
procedure FreeAndNil(var Obj);
var
  P: TObject;
begin
  P := TObject(Obj);
  TObject(Obj) := nil;
  P.Free;
end;
{$ENDIF}

end.
