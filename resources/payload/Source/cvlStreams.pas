{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings files and streams                      }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlStreams;

{$I cvl.inc}

{ Text files of the storages (read with or without a UTF-8 byte order mark,
  written safely through a temporary file), and copying, export and import of
  whole storages. The export format is line based:
    CVLSETTINGS 1
    [Section\Path]
    Key=escaped value
  which is the INI text with a header line that names it. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage;

const
  cvlExportHeader = 'CVLSETTINGS 1';

type
  TcvlTextEncoding = (teAnsi, teUtf8);

{ Loads a text file into List. A UTF-8 byte order mark selects UTF-8. }
function cvlLoadTextFile(const FileName: string; List: TStrings): TcvlTextEncoding;
{ Writes List to FileName.tmp and then replaces FileName by it, so that a
  failure in the middle never leaves half a settings file behind. }
procedure cvlSaveTextFile(const FileName: string; List: TStrings;
  Encoding: TcvlTextEncoding);

procedure cvlCopySection(Source, Dest: TcvlCustomStorage;
  const SourceSection, DestSection: string);
procedure cvlCopyStorage(Source, Dest: TcvlCustomStorage);
procedure cvlExportStorage(Storage: TcvlCustomStorage; Stream: TStream);
procedure cvlImportStorage(Storage: TcvlCustomStorage; Stream: TStream);

implementation

const
  Utf8Bom: AnsiString = #$EF#$BB#$BF;

function ReadFileBytes(const FileName: string): AnsiString;
var
  Stream: TFileStream;
begin
  Stream := TFileStream.Create(FileName, fmOpenRead or fmShareDenyWrite);
  try
    SetLength(Result, Stream.Size);
    if Result <> '' then
      Stream.ReadBuffer(Result[1], Length(Result));
  finally
    Stream.Free;
  end;
end;

function cvlLoadTextFile(const FileName: string; List: TStrings): TcvlTextEncoding;
var
  Bytes: AnsiString;
begin
  if not FileExists(FileName) then
    raise EcvlStorageError.CreateFmt(SCvlFileNotFound, [FileName]);
  Bytes := ReadFileBytes(FileName);
  if Copy(Bytes, 1, 3) = Utf8Bom then
  begin
    Result := teUtf8;
    Delete(Bytes, 1, 3);
{$IFDEF CVL_UNICODE}
    List.Text := UTF8ToString(RawByteString(Bytes));
{$ELSE}
  {$IFDEF CVL_D6UP}
    List.Text := Utf8ToAnsi(Bytes);
  {$ELSE}
    List.Text := Bytes;
  {$ENDIF}
{$ENDIF}
  end
  else
  begin
    Result := teAnsi;
    List.Text := string(Bytes);
  end;
end;

procedure cvlSaveTextFile(const FileName: string; List: TStrings;
  Encoding: TcvlTextEncoding);
var
  Bytes: AnsiString;
  TempName: string;
  Stream: TFileStream;
begin
  if Encoding = teUtf8 then
{$IFDEF CVL_UNICODE}
    Bytes := Utf8Bom + AnsiString(UTF8Encode(List.Text))
{$ELSE}
  {$IFDEF CVL_D6UP}
    Bytes := Utf8Bom + AnsiToUtf8(List.Text)
  {$ELSE}
    Bytes := List.Text
  {$ENDIF}
{$ENDIF}
  else
    Bytes := AnsiString(List.Text);
  cvlForceDirectories(ExtractFilePath(FileName));
  TempName := FileName + '.tmp';
  Stream := TFileStream.Create(TempName, fmCreate);
  try
    if Bytes <> '' then
      Stream.WriteBuffer(Bytes[1], Length(Bytes));
  finally
    Stream.Free;
  end;
  if FileExists(FileName) and not DeleteFile(FileName) then
  begin
    DeleteFile(TempName);
    raise EcvlStorageError.CreateFmt(SCvlCannotWrite, [FileName]);
  end;
  if not RenameFile(TempName, FileName) then
    raise EcvlStorageError.CreateFmt(SCvlCannotWrite, [FileName]);
end;

procedure cvlCopySection(Source, Dest: TcvlCustomStorage;
  const SourceSection, DestSection: string);
var
  Names: TStringList;
  I: Integer;
begin
  Names := TStringList.Create;
  try
    Source.ReadKeys(SourceSection, Names);
    for I := 0 to Names.Count - 1 do
      Dest.WriteString(DestSection, Names[I],
        Source.ReadString(SourceSection, Names[I], ''));
    Source.ReadSections(SourceSection, Names);
    for I := 0 to Names.Count - 1 do
      cvlCopySection(Source, Dest, cvlJoinSection(SourceSection, Names[I]),
        cvlJoinSection(DestSection, Names[I]));
  finally
    Names.Free;
  end;
end;

procedure cvlCopyStorage(Source, Dest: TcvlCustomStorage);
begin
  if Source = Dest then
    raise EcvlStorageError.Create(SCvlCircularLink);
  Dest.BeginUpdate;
  try
    cvlCopySection(Source, Dest, '', '');
  finally
    Dest.EndUpdate;
  end;
end;

procedure ExportSection(Storage: TcvlCustomStorage; const Section: string;
  Lines: TStrings);
var
  Names: TStringList;
  I: Integer;
begin
  Names := TStringList.Create;
  try
    Storage.ReadKeys(Section, Names);
    if Names.Count > 0 then
    begin
      Lines.Add('[' + Section + ']');
      for I := 0 to Names.Count - 1 do
        Lines.Add(Names[I] + '=' +
          cvlEscape(Storage.ReadString(Section, Names[I], '')));
    end;
    Storage.ReadSections(Section, Names);
    for I := 0 to Names.Count - 1 do
      ExportSection(Storage, cvlJoinSection(Section, Names[I]), Lines);
  finally
    Names.Free;
  end;
end;

procedure cvlExportStorage(Storage: TcvlCustomStorage; Stream: TStream);
var
  Lines: TStringList;
begin
  Lines := TStringList.Create;
  try
    Lines.Add(cvlExportHeader);
    ExportSection(Storage, '', Lines);
    Lines.SaveToStream(Stream);
  finally
    Lines.Free;
  end;
end;

procedure cvlImportStorage(Storage: TcvlCustomStorage; Stream: TStream);
var
  Lines: TStringList;
  I, P: Integer;
  Section, Line: string;
begin
  Lines := TStringList.Create;
  try
    Lines.LoadFromStream(Stream);
    if (Lines.Count = 0) or (Trim(Lines[0]) <> cvlExportHeader) then
      raise EcvlStorageError.Create(SCvlImportFormat);
    Section := '';
    Storage.BeginUpdate;
    try
      for I := 1 to Lines.Count - 1 do
      begin
        Line := Lines[I];
        if Line = '' then
          Continue;
        if (Line[1] = '[') and (Line[Length(Line)] = ']') then
          Section := Copy(Line, 2, Length(Line) - 2)
        else
        begin
          P := Pos('=', Line);
          if P > 1 then
            Storage.WriteString(Section, Copy(Line, 1, P - 1),
              cvlUnescape(Copy(Line, P + 1, MaxInt)));
        end;
      end;
    finally
      Storage.EndUpdate;
    end;
  finally
    Lines.Free;
  end;
end;

end.
