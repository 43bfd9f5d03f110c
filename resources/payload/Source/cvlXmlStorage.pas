{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings in an XML file                         }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlXmlStorage;

{$I cvl.inc}

{ The file looks like
    <?xml version="1.0" encoding="utf-8"?>
    <settings version="1">
      <section name="Main">
        <value name="Left">120</value>
        <section name="Toolbar">
          <value name="Visible">1</value>
        </section>
      </section>
    </settings>
  The reader is a small one of its own, so that the library needs no XML
  parser installed on the machine: elements, attributes, text, the five
  predefined entities and character references, comments, processing
  instructions and CDATA. Elements it does not know are skipped. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage,
  cvlMemStorage, cvlStreams, cvlEnvironment;

const
  cvlXmlRootElement = 'settings';
  cvlXmlSectionElement = 'section';
  cvlXmlValueElement = 'value';

type
  TcvlXmlStorage = class(TcvlMemStorage)
  private
    FFileName: string;
    FLoaded: Boolean;
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
    function ActualFileName: string;
    procedure LoadFromXml(const Xml, SourceName: string);
    function SaveToXml: string;
  published
    property FileName: string read FFileName write SetFileName;
  end;

function cvlXmlEscape(const S: string): string;

implementation

{ Writing }

function cvlXmlEscape(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    case S[I] of
      '<': Result := Result + '&lt;';
      '>': Result := Result + '&gt;';
      '&': Result := Result + '&amp;';
      '"': Result := Result + '&quot;';
      #13: Result := Result + '&#13;';  { kept: a reader would fold CR LF }
    else
      Result := Result + S[I];
    end;
end;

{ Reading }

type
  TXmlReader = class
  private
    FText: string;
    FPos: Integer;
    FSource: string;
    FStorage: TcvlXmlStorage;
    procedure Error(const Msg: string);
    function LineNumber: Integer;
    function AtEnd: Boolean;
    function LookingAt(const S: string): Boolean;
    procedure Expect(const S: string);
    procedure SkipBlanks;
    procedure SkipPast(const S: string);
    procedure SkipMisc;
    function ReadName: string;
    function ReadAttributes(Attrs: TStrings): Boolean;
    function ReadText: string;
    procedure SkipElementContent(const Name: string);
    procedure ReadSection(const Path: string);
    procedure ReadValue(const Path, Key: string);
  public
    constructor Create(Storage: TcvlXmlStorage; const Text, Source: string);
    procedure Parse;
  end;

constructor TXmlReader.Create(Storage: TcvlXmlStorage; const Text, Source: string);
begin
  inherited Create;
  FStorage := Storage;
  FText := Text;
  FSource := Source;
  FPos := 1;
end;

function TXmlReader.LineNumber: Integer;
var
  I: Integer;
begin
  Result := 1;
  for I := 1 to FPos - 1 do
    if FText[I] = #10 then
      Inc(Result);
end;

procedure TXmlReader.Error(const Msg: string);
begin
  raise EcvlXmlError.CreateFmt(SCvlXmlSyntax, [FSource, LineNumber, Msg]);
end;

function TXmlReader.AtEnd: Boolean;
begin
  Result := FPos > Length(FText);
end;

function TXmlReader.LookingAt(const S: string): Boolean;
begin
  Result := Copy(FText, FPos, Length(S)) = S;
end;

procedure TXmlReader.Expect(const S: string);
begin
  if not LookingAt(S) then
    Error('"' + S + '" expected');
  Inc(FPos, Length(S));
end;

procedure TXmlReader.SkipBlanks;
begin
  while (FPos <= Length(FText)) and (FText[FPos] <= ' ') do
    Inc(FPos);
end;

procedure TXmlReader.SkipPast(const S: string);
var
  P: Integer;
begin
  P := Pos(S, Copy(FText, FPos, MaxInt));
  if P = 0 then
    Error('"' + S + '" missing');
  Inc(FPos, P - 1 + Length(S));
end;

{ Blanks, comments, processing instructions and the document type. }
procedure TXmlReader.SkipMisc;
begin
  repeat
    SkipBlanks;
    if LookingAt('<!--') then
      SkipPast('-->')
    else if LookingAt('<?') then
      SkipPast('?>')
    else if LookingAt('<!DOCTYPE') then
      SkipPast('>')
    else
      Break;
  until False;
end;

function IsNameChar(C: Char): Boolean;
begin
  Result := ((C >= 'a') and (C <= 'z')) or ((C >= 'A') and (C <= 'Z')) or
    ((C >= '0') and (C <= '9')) or (C = '_') or (C = '-') or (C = '.') or
    (C = ':') or (Ord(C) > 127);
end;

function TXmlReader.ReadName: string;
var
  Start: Integer;
begin
  Start := FPos;
  while (FPos <= Length(FText)) and IsNameChar(FText[FPos]) do
    Inc(FPos);
  if FPos = Start then
    Error('name expected');
  Result := Copy(FText, Start, FPos - Start);
end;

function DecodeEntity(const Entity: string; var Value: string): Boolean;
var
  Code: Integer;
begin
  Result := True;
  if Entity = 'lt' then Value := '<'
  else if Entity = 'gt' then Value := '>'
  else if Entity = 'amp' then Value := '&'
  else if Entity = 'quot' then Value := '"'
  else if Entity = 'apos' then Value := ''''
  else if (Length(Entity) > 1) and (Entity[1] = '#') then
  begin
    if (Entity[2] = 'x') or (Entity[2] = 'X') then
      Result := cvlTextToInt('$' + Copy(Entity, 3, MaxInt), Code)
    else
      Result := cvlTextToInt(Copy(Entity, 2, MaxInt), Code);
{$IFDEF CVL_UNICODE}
    Result := Result and (Code > 0) and (Code <= $FFFF);
{$ELSE}
    Result := Result and (Code > 0) and (Code <= 255);
{$ENDIF}
    if Result then
      Value := Char(Code);
  end
  else
    Result := False;
end;

{ Text up to the next '<' (or the closing quote Stop), entities decoded. }
function DecodeText(R: TXmlReader; Stop: Char): string;
var
  P: Integer;
  Entity, Value: string;
begin
  Result := '';
  with R do
    while (FPos <= Length(FText)) and (FText[FPos] <> Stop) and
      ((Stop <> '<') or not LookingAt('<![CDATA[')) do
    begin
      if (Stop <> '<') and (FText[FPos] = '<') then
        Error('"<" in attribute value');
      if FText[FPos] = '&' then
      begin
        P := Pos(';', Copy(FText, FPos, 12));
        if P = 0 then
          Error('unterminated entity');
        Entity := Copy(FText, FPos + 1, P - 2);
        if not DecodeEntity(Entity, Value) then
          Error('unknown entity &' + Entity + ';');
        Result := Result + Value;
        Inc(FPos, P);
      end
      else
      begin
        Result := Result + FText[FPos];
        Inc(FPos);
      end;
    end;
end;

function TXmlReader.ReadAttributes(Attrs: TStrings): Boolean;
var
  Name: string;
  Quote: Char;
begin
  Attrs.Clear;
  repeat
    SkipBlanks;
    if LookingAt('/>') then
    begin
      Inc(FPos, 2);
      Result := False;  { empty element }
      Exit;
    end;
    if LookingAt('>') then
    begin
      Inc(FPos);
      Result := True;
      Exit;
    end;
    Name := ReadName;
    SkipBlanks;
    Expect('=');
    SkipBlanks;
    if AtEnd or ((FText[FPos] <> '"') and (FText[FPos] <> '''')) then
      Error('quoted attribute value expected');
    Quote := FText[FPos];
    Inc(FPos);
    Attrs.Add(Name + '=' + DecodeText(Self, Quote));
    Expect(Quote);
  until False;
end;

function TXmlReader.ReadText: string;
var
  P: Integer;
begin
  Result := '';
  repeat
    Result := Result + DecodeText(Self, '<');
    if LookingAt('<![CDATA[') then
    begin
      Inc(FPos, 9);
      P := Pos(']]>', Copy(FText, FPos, MaxInt));
      if P = 0 then
        Error('unterminated CDATA');
      Result := Result + Copy(FText, FPos, P - 1);
      Inc(FPos, P + 2);
    end
    else if LookingAt('<!--') then
      SkipPast('-->')
    else
      Break;
  until AtEnd;
end;

procedure TXmlReader.SkipElementContent(const Name: string);
var
  Attrs: TStringList;
  Child: string;
begin
  Attrs := TStringList.Create;
  try
    repeat
      ReadText;
      if AtEnd then
        Error('</' + Name + '> missing');
      if LookingAt('</') then
        Break;
      Expect('<');
      Child := ReadName;
      if ReadAttributes(Attrs) then
        SkipElementContent(Child);
    until False;
    Expect('</' + Name);
    SkipBlanks;
    Expect('>');
  finally
    Attrs.Free;
  end;
end;

procedure TXmlReader.ReadValue(const Path, Key: string);
var
  Text: string;
begin
  Text := ReadText;
  Expect('</' + cvlXmlValueElement);
  SkipBlanks;
  Expect('>');
  if Key <> '' then
    FStorage.FindSection(Path, True).Add(Key + cvlNameValueSeparator + Text);
end;

procedure TXmlReader.ReadSection(const Path: string);
var
  Attrs: TStringList;
  Name, ChildName: string;
  HasContent: Boolean;
begin
  Attrs := TStringList.Create;
  try
    repeat
      ReadText;
      if AtEnd then
        Error('end of file inside a section');
      if LookingAt('</') then
        Break;
      Expect('<');
      Name := ReadName;
      HasContent := ReadAttributes(Attrs);
      ChildName := Attrs.Values['name'];
      if Name = cvlXmlSectionElement then
      begin
        FStorage.FindSection(cvlJoinSection(Path, ChildName), True);
        if HasContent then
        begin
          ReadSection(cvlJoinSection(Path, ChildName));
          Expect('</' + cvlXmlSectionElement);
          SkipBlanks;
          Expect('>');
        end;
      end
      else if Name = cvlXmlValueElement then
      begin
        if HasContent then
          ReadValue(Path, ChildName)
        else if ChildName <> '' then
          FStorage.FindSection(Path, True).Add(ChildName + cvlNameValueSeparator);
      end
      else if HasContent then
        SkipElementContent(Name);
    until False;
  finally
    Attrs.Free;
  end;
end;

procedure TXmlReader.Parse;
var
  Attrs: TStringList;
begin
  SkipMisc;
  if not LookingAt('<' + cvlXmlRootElement) then
    raise EcvlXmlError.CreateFmt(SCvlXmlRoot, [FSource]);
  Expect('<' + cvlXmlRootElement);
  Attrs := TStringList.Create;
  try
    if ReadAttributes(Attrs) then
    begin
      ReadSection('');
      Expect('</' + cvlXmlRootElement);
      SkipBlanks;
      Expect('>');
    end;
  finally
    Attrs.Free;
  end;
end;

{ TcvlXmlStorage }

destructor TcvlXmlStorage.Destroy;
begin
  if not (csDesigning in ComponentState) then
  try
    Flush;
  except
    { A destructor must not raise; the file stays as it was. }
  end;
  inherited Destroy;
end;

function TcvlXmlStorage.ActualFileName: string;
begin
  if FFileName = '' then
    Result := cvlDefaultFileName('.xml')
  else
  begin
    Result := cvlExpandMacros(FFileName);
    if ExtractFilePath(Result) = '' then
      Result := cvlApplicationDir + Result;
  end;
end;

procedure TcvlXmlStorage.SetFileName(const Value: string);
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

function TcvlXmlStorage.GetActive: Boolean;
begin
  Result := not (csDesigning in ComponentState) or (FFileName <> '');
end;

procedure TcvlXmlStorage.LoadFromXml(const Xml, SourceName: string);
var
  Reader: TXmlReader;
begin
  Clear;
  Reader := TXmlReader.Create(Self, Xml, SourceName);
  try
    Reader.Parse;
  finally
    Reader.Free;
  end;
end;

function TcvlXmlStorage.SaveToXml: string;
var
  Lines: TStringList;

  procedure Indent(Level: Integer; const S: string);
  begin
    Lines.Add(StringOfChar(' ', Level * 2) + S);
  end;

  procedure WriteSection(const Path: string; Level: Integer);
  var
    Names: TStringList;
    Values: TStringList;
    I: Integer;
  begin
    Names := TStringList.Create;
    try
      Values := FindSection(Path, False);
      if Values <> nil then
        for I := 0 to Values.Count - 1 do
          Indent(Level, '<' + cvlXmlValueElement + ' name="' +
            cvlXmlEscape(cvlNameOf(Values[I])) + '">' +
            cvlXmlEscape(cvlValueOf(Values[I])) + '</' + cvlXmlValueElement + '>');
      DoReadSections(Path, Names);
      for I := 0 to Names.Count - 1 do
      begin
        Indent(Level, '<' + cvlXmlSectionElement + ' name="' +
          cvlXmlEscape(Names[I]) + '">');
        WriteSection(cvlJoinSection(Path, Names[I]), Level + 1);
        Indent(Level, '</' + cvlXmlSectionElement + '>');
      end;
    finally
      Names.Free;
    end;
  end;

begin
  Lines := TStringList.Create;
  try
{$IFDEF CVL_D6UP}
    Lines.Add('<?xml version="1.0" encoding="utf-8"?>');
{$ELSE}
    Lines.Add('<?xml version="1.0" encoding="windows-1252"?>');
{$ENDIF}
    Lines.Add('<' + cvlXmlRootElement + ' version="1">');
    WriteSection('', 1);
    Lines.Add('</' + cvlXmlRootElement + '>');
    Result := Lines.Text;
  finally
    Lines.Free;
  end;
end;

procedure TcvlXmlStorage.EnsureLoaded;
var
  Lines: TStringList;
  Name: string;
begin
  if FLoaded then
    Exit;
  FLoaded := True;
  Name := ActualFileName;
  if not FileExists(Name) then
    Exit;
  Lines := TStringList.Create;
  try
    cvlLoadTextFile(Name, Lines);
    LoadFromXml(Lines.Text, Name);
  finally
    Lines.Free;
  end;
end;

function TcvlXmlStorage.DoReadValue(const Section, Key: string; var Value: string): Boolean;
begin
  EnsureLoaded;
  Result := inherited DoReadValue(Section, Key, Value);
end;

procedure TcvlXmlStorage.DoWriteValue(const Section, Key, Value: string);
begin
  EnsureLoaded;
  inherited DoWriteValue(Section, Key, Value);
end;

procedure TcvlXmlStorage.DoDeleteValue(const Section, Key: string);
begin
  EnsureLoaded;
  inherited DoDeleteValue(Section, Key);
end;

procedure TcvlXmlStorage.DoEraseSection(const Section: string);
begin
  EnsureLoaded;
  inherited DoEraseSection(Section);
end;

procedure TcvlXmlStorage.DoReadKeys(const Section: string; Keys: TStrings);
begin
  EnsureLoaded;
  inherited DoReadKeys(Section, Keys);
end;

procedure TcvlXmlStorage.DoReadSections(const Section: string; Sections: TStrings);
begin
  EnsureLoaded;
  inherited DoReadSections(Section, Sections);
end;

function TcvlXmlStorage.DoSectionExists(const Section: string): Boolean;
begin
  EnsureLoaded;
  Result := inherited DoSectionExists(Section);
end;

procedure TcvlXmlStorage.DoFlush;
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
    Lines.Text := SaveToXml;
{$IFDEF CVL_D6UP}
    cvlSaveTextFile(Name, Lines, teUtf8);
{$ELSE}
    cvlSaveTextFile(Name, Lines, teAnsi);
{$ENDIF}
  finally
    Lines.Free;
  end;
end;

procedure TcvlXmlStorage.DoReload;
begin
  Clear;
  FLoaded := False;
  EnsureLoaded;
end;

end.
