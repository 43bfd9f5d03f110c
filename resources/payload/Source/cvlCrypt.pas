{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Encrypted setting values                        }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlCrypt;

{$I cvl.inc}

{ A value is encrypted as
    '!cvl:' + Base64(Salt[4] + RC4(Key + Salt, CRC32(Plain)[4] + Plain))
  The salt makes equal values look different; the CRC tells a wrong key or a
  damaged value from a right one. This keeps passwords out of plain sight in
  INI files and the registry; it is no protection against a determined
  attacker who has the program and its key. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes;

type
  TcvlCrypt = class(TComponent)
  private
    FKey: string;
    function KeyBytes: AnsiString;
  public
    { Returns the encrypted form, with the cvlCryptPrefix. }
    function Encrypt(const Plain: string): string;
    { False when Text is not encrypted, damaged or made with another key. }
    function Decrypt(const Text: string; var Plain: string): Boolean;
    function IsEncrypted(const Text: string): Boolean;
  published
    property Key: string read FKey write FKey;
  end;

function cvlBase64Encode(const Bytes: AnsiString): string;
function cvlBase64Decode(const Text: string; var Bytes: AnsiString): Boolean;
function cvlCRC32(const Bytes: AnsiString): Cardinal;
procedure cvlRC4(const Key: AnsiString; var Data: AnsiString);

{ Strings as bytes: UTF-8 where string is Unicode, the bytes themselves else. }
function cvlStringToBytes(const S: string): AnsiString;
function cvlBytesToString(const Bytes: AnsiString): string;

implementation

const
  Base64Chars: string =
    'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
  SaltSize = 4;
  CrcSize = 4;

var
  CrcTable: array[0..255] of Cardinal;

procedure MakeCrcTable;
var
  N, K: Integer;
  C: Cardinal;
begin
  for N := 0 to 255 do
  begin
    C := N;
    for K := 0 to 7 do
      if C and 1 <> 0 then
        C := $EDB88320 xor (C shr 1)
      else
        C := C shr 1;
    CrcTable[N] := C;
  end;
end;

function cvlCRC32(const Bytes: AnsiString): Cardinal;
var
  I: Integer;
begin
  Result := $FFFFFFFF;
  for I := 1 to Length(Bytes) do
    Result := CrcTable[(Result xor Ord(Bytes[I])) and $FF] xor (Result shr 8);
  Result := not Result;
end;

procedure cvlRC4(const Key: AnsiString; var Data: AnsiString);
var
  S: array[0..255] of Byte;
  I, J, K: Integer;
  T: Byte;
begin
  for I := 0 to 255 do
    S[I] := I;
  if Key <> '' then
  begin
    J := 0;
    for I := 0 to 255 do
    begin
      J := (J + S[I] + Ord(Key[I mod Length(Key) + 1])) and $FF;
      T := S[I];
      S[I] := S[J];
      S[J] := T;
    end;
  end;
  I := 0;
  J := 0;
  for K := 1 to Length(Data) do
  begin
    I := (I + 1) and $FF;
    J := (J + S[I]) and $FF;
    T := S[I];
    S[I] := S[J];
    S[J] := T;
    Data[K] := AnsiChar(Ord(Data[K]) xor S[(S[I] + S[J]) and $FF]);
  end;
end;

function cvlBase64Encode(const Bytes: AnsiString): string;
var
  I, N: Integer;
  V: Cardinal;
begin
  Result := '';
  I := 1;
  while I <= Length(Bytes) do
  begin
    N := Length(Bytes) - I + 1;
    if N > 3 then
      N := 3;
    V := Ord(Bytes[I]) shl 16;
    if N > 1 then
      V := V or Cardinal(Ord(Bytes[I + 1]) shl 8);
    if N > 2 then
      V := V or Cardinal(Ord(Bytes[I + 2]));
    Result := Result + Base64Chars[(V shr 18) and 63 + 1] +
      Base64Chars[(V shr 12) and 63 + 1];
    if N > 1 then
      Result := Result + Base64Chars[(V shr 6) and 63 + 1]
    else
      Result := Result + '=';
    if N > 2 then
      Result := Result + Base64Chars[V and 63 + 1]
    else
      Result := Result + '=';
    Inc(I, 3);
  end;
end;

function cvlBase64Decode(const Text: string; var Bytes: AnsiString): Boolean;
var
  I, D, Bits, Pad: Integer;
  V: Cardinal;
  R: AnsiString;
begin
  Result := False;
  if Length(Text) mod 4 <> 0 then
    Exit;
  R := '';
  V := 0;
  Bits := 0;
  Pad := 0;
  for I := 1 to Length(Text) do
  begin
    if Text[I] = '=' then
    begin
      { Padding only at the end, at most two. }
      Inc(Pad);
      if (I < Length(Text) - 1) or (Pad > 2) then
        Exit;
      Continue;
    end;
    if Pad > 0 then
      Exit;
    D := Pos(Text[I], Base64Chars) - 1;
    if D < 0 then
      Exit;
    V := (V shl 6) or Cardinal(D);
    Inc(Bits, 6);
    if Bits >= 8 then
    begin
      Dec(Bits, 8);
      R := R + AnsiChar((V shr Bits) and $FF);
    end;
  end;
  Bytes := R;
  Result := True;
end;

function cvlStringToBytes(const S: string): AnsiString;
begin
{$IFDEF CVL_UNICODE}
  Result := AnsiString(UTF8Encode(S));
{$ELSE}
  Result := S;
{$ENDIF}
end;

function cvlBytesToString(const Bytes: AnsiString): string;
begin
{$IFDEF CVL_UNICODE}
  Result := UTF8ToString(RawByteString(Bytes));
{$ELSE}
  Result := Bytes;
{$ENDIF}
end;

function CardinalToBytes(V: Cardinal): AnsiString;
begin
  SetLength(Result, 4);
  Result[1] := AnsiChar(V and $FF);
  Result[2] := AnsiChar((V shr 8) and $FF);
  Result[3] := AnsiChar((V shr 16) and $FF);
  Result[4] := AnsiChar((V shr 24) and $FF);
end;

function BytesToCardinal(const B: AnsiString; Index: Integer): Cardinal;
begin
  Result := Cardinal(Ord(B[Index])) or (Cardinal(Ord(B[Index + 1])) shl 8) or
    (Cardinal(Ord(B[Index + 2])) shl 16) or (Cardinal(Ord(B[Index + 3])) shl 24);
end;

{ TcvlCrypt }

function TcvlCrypt.KeyBytes: AnsiString;
begin
  Result := cvlStringToBytes(FKey);
end;

function TcvlCrypt.IsEncrypted(const Text: string): Boolean;
begin
  Result := Copy(Text, 1, Length(cvlCryptPrefix)) = cvlCryptPrefix;
end;

function TcvlCrypt.Encrypt(const Plain: string): string;
var
  Salt, Data, Bytes: AnsiString;
  I: Integer;
begin
  SetLength(Salt, SaltSize);
  for I := 1 to SaltSize do
    Salt[I] := AnsiChar(Random(256));
  Bytes := cvlStringToBytes(Plain);
  Data := CardinalToBytes(cvlCRC32(Bytes)) + Bytes;
  cvlRC4(KeyBytes + Salt, Data);
  Result := cvlCryptPrefix + cvlBase64Encode(Salt + Data);
end;

function TcvlCrypt.Decrypt(const Text: string; var Plain: string): Boolean;
var
  Raw, Salt, Data, Bytes: AnsiString;
begin
  Result := False;
  if not IsEncrypted(Text) then
    Exit;
  if not cvlBase64Decode(Copy(Text, Length(cvlCryptPrefix) + 1, MaxInt), Raw) then
    Exit;
  if Length(Raw) < SaltSize + CrcSize then
    Exit;
  Salt := Copy(Raw, 1, SaltSize);
  Data := Copy(Raw, SaltSize + 1, MaxInt);
  cvlRC4(KeyBytes + Salt, Data);
  Bytes := Copy(Data, CrcSize + 1, MaxInt);
  if BytesToCardinal(Data, 1) <> cvlCRC32(Bytes) then
    Exit;
  Plain := cvlBytesToString(Bytes);
  Result := True;
end;

initialization
  MakeCrcTable;
  Randomize;
end.
