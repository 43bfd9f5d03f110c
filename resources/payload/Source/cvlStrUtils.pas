{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       String helpers                                  }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlStrUtils;

{$I cvl.inc}

interface

uses
  SysUtils, Classes;

{ One-line form of a text for line-based files (INI): CR, LF, tab and the
  backslash become \r, \n, \t and \\. cvlUnescape reverses it; an unknown
  escape keeps its character. }
function cvlEscape(const S: string): string;
function cvlUnescape(const S: string): string;

{ Splits S at Delimiter into List (cleared first); empty parts are kept, so
  that Join(Split(S)) = S. Parts may be quoted with double quotes to hold the
  delimiter. }
procedure cvlSplit(const S: string; Delimiter: Char; List: TStrings);
function cvlJoin(List: TStrings; Delimiter: Char): string;

{ Double quotes around S when it holds a blank, the delimiter or a quote;
  quotes inside are doubled. }
function cvlQuote(const S: string; Delimiter: Char): string;
function cvlDequote(const S: string): string;

{ Bytes as hexadecimal text and back. cvlHexToStr fails on an odd length or a
  character that is not a hex digit. }
function cvlStrToHex(const Bytes: AnsiString): string;
function cvlHexToStr(const Hex: string; var Bytes: AnsiString): Boolean;

{ Wildcards * and ? as in file masks, without regard to letter case. }
function cvlMatchesMask(const S, Mask: string): Boolean;

{ Name=Value pairs where the value may itself contain '='. }
function cvlNameOf(const Pair: string): string;
function cvlValueOf(const Pair: string): string;

function cvlStartsText(const Prefix, S: string): Boolean;
function cvlReplaceText(const S, OldPattern, NewPattern: string): string;

implementation

function cvlEscape(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    case S[I] of
      #13: Result := Result + '\r';
      #10: Result := Result + '\n';
      #9: Result := Result + '\t';
      '\': Result := Result + '\\';
    else
      Result := Result + S[I];
    end;
end;

function cvlUnescape(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  I := 1;
  while I <= Length(S) do
  begin
    if (S[I] = '\') and (I < Length(S)) then
    begin
      Inc(I);
      case S[I] of
        'r': Result := Result + #13;
        'n': Result := Result + #10;
        't': Result := Result + #9;
      else
        Result := Result + S[I];
      end;
    end
    else
      Result := Result + S[I];
    Inc(I);
  end;
end;

procedure cvlSplit(const S: string; Delimiter: Char; List: TStrings);
var
  I: Integer;
  Part: string;
  InQuotes: Boolean;
begin
  List.BeginUpdate;
  try
    List.Clear;
    if S = '' then
      Exit;
    Part := '';
    InQuotes := False;
    I := 1;
    while I <= Length(S) do
    begin
      if S[I] = '"' then
      begin
        if InQuotes and (I < Length(S)) and (S[I + 1] = '"') then
        begin
          Part := Part + '"';
          Inc(I);
        end
        else
          InQuotes := not InQuotes;
      end
      else if (S[I] = Delimiter) and not InQuotes then
      begin
        List.Add(Part);
        Part := '';
      end
      else
        Part := Part + S[I];
      Inc(I);
    end;
    List.Add(Part);
  finally
    List.EndUpdate;
  end;
end;

function cvlJoin(List: TStrings; Delimiter: Char): string;
var
  I: Integer;
begin
  Result := '';
  for I := 0 to List.Count - 1 do
  begin
    if I > 0 then
      Result := Result + Delimiter;
    Result := Result + cvlQuote(List[I], Delimiter);
  end;
end;

function cvlQuote(const S: string; Delimiter: Char): string;
var
  I: Integer;
  NeedQuotes: Boolean;
begin
  NeedQuotes := False;
  for I := 1 to Length(S) do
    if (S[I] = ' ') or (S[I] = Delimiter) or (S[I] = '"') then
      NeedQuotes := True;
  if not NeedQuotes then
  begin
    Result := S;
    Exit;
  end;
  Result := '"';
  for I := 1 to Length(S) do
    if S[I] = '"' then
      Result := Result + '""'
    else
      Result := Result + S[I];
  Result := Result + '"';
end;

function cvlDequote(const S: string): string;
var
  I: Integer;
begin
  if (Length(S) < 2) or (S[1] <> '"') or (S[Length(S)] <> '"') then
  begin
    Result := S;
    Exit;
  end;
  Result := '';
  I := 2;
  while I < Length(S) do
  begin
    Result := Result + S[I];
    if (S[I] = '"') and (S[I + 1] = '"') then
      Inc(I);
    Inc(I);
  end;
end;

const
  HexDigits: array[0..15] of Char = '0123456789ABCDEF';

function cvlStrToHex(const Bytes: AnsiString): string;
var
  I: Integer;
  B: Byte;
begin
  SetLength(Result, Length(Bytes) * 2);
  for I := 1 to Length(Bytes) do
  begin
    B := Ord(Bytes[I]);
    Result[I * 2 - 1] := HexDigits[B shr 4];
    Result[I * 2] := HexDigits[B and $0F];
  end;
end;

function HexValue(C: Char): Integer;
begin
  case C of
    '0'..'9': Result := Ord(C) - Ord('0');
    'A'..'F': Result := Ord(C) - Ord('A') + 10;
    'a'..'f': Result := Ord(C) - Ord('a') + 10;
  else
    Result := -1;
  end;
end;

function cvlHexToStr(const Hex: string; var Bytes: AnsiString): Boolean;
var
  I, Hi, Lo: Integer;
  R: AnsiString;
begin
  Result := False;
  if Odd(Length(Hex)) then
    Exit;
  SetLength(R, Length(Hex) div 2);
  for I := 1 to Length(R) do
  begin
    Hi := HexValue(Hex[I * 2 - 1]);
    Lo := HexValue(Hex[I * 2]);
    if (Hi < 0) or (Lo < 0) then
      Exit;
    R[I] := AnsiChar(Hi shl 4 or Lo);
  end;
  Bytes := R;
  Result := True;
end;

function MatchAt(const S, Mask: string; SI, MI: Integer): Boolean;
begin
  while MI <= Length(Mask) do
  begin
    case Mask[MI] of
      '*':
        begin
          { Try every length for the star, shortest first. }
          while SI <= Length(S) + 1 do
          begin
            if MatchAt(S, Mask, SI, MI + 1) then
            begin
              Result := True;
              Exit;
            end;
            Inc(SI);
          end;
          Result := False;
          Exit;
        end;
      '?':
        if SI > Length(S) then
        begin
          Result := False;
          Exit;
        end;
    else
      if (SI > Length(S)) or (UpCase(S[SI]) <> UpCase(Mask[MI])) then
      begin
        Result := False;
        Exit;
      end;
    end;
    Inc(SI);
    Inc(MI);
  end;
  Result := SI > Length(S);
end;

function cvlMatchesMask(const S, Mask: string): Boolean;
begin
  Result := MatchAt(S, Mask, 1, 1);
end;

function cvlNameOf(const Pair: string): string;
var
  P: Integer;
begin
  P := Pos('=', Pair);
  if P = 0 then
    Result := Pair
  else
    Result := Copy(Pair, 1, P - 1);
end;

function cvlValueOf(const Pair: string): string;
var
  P: Integer;
begin
  P := Pos('=', Pair);
  if P = 0 then
    Result := ''
  else
    Result := Copy(Pair, P + 1, MaxInt);
end;

function cvlStartsText(const Prefix, S: string): Boolean;
begin
  Result := CompareText(Copy(S, 1, Length(Prefix)), Prefix) = 0;
end;

function cvlReplaceText(const S, OldPattern, NewPattern: string): string;
var
  Rest, UpRest, UpOld: string;
  P: Integer;
begin
  Result := '';
  if OldPattern = '' then
  begin
    Result := S;
    Exit;
  end;
  Rest := S;
  UpOld := AnsiUpperCase(OldPattern);
  UpRest := AnsiUpperCase(Rest);
  P := Pos(UpOld, UpRest);
  while P > 0 do
  begin
    Result := Result + Copy(Rest, 1, P - 1) + NewPattern;
    Delete(Rest, 1, P - 1 + Length(OldPattern));
    Delete(UpRest, 1, P - 1 + Length(OldPattern));
    P := Pos(UpOld, UpRest);
  end;
  Result := Result + Rest;
end;

end.
