{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings kept in memory                         }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlMemStorage;

{$I cvl.inc}

{ TcvlMemStorage keeps the sections in memory: a list of full section paths,
  each with its Name=Value lines. It is a storage of its own (for tests and
  for settings that live only while the program runs) and the engine of the
  file storages, which load and save it. The text form of SaveToStrings is
  the INI format: [Section\Path] headers, Name=Value lines with the value
  escaped by cvlEscape, and ';' comments. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage;

type
  TcvlMemStorage = class(TcvlCustomStorage)
  private
    FSections: TStringList;
    function GetSectionCount: Integer;
  protected
    function FindSection(const Section: string; CanCreate: Boolean): TStringList;
    function DoReadValue(const Section, Key: string; var Value: string): Boolean; override;
    procedure DoWriteValue(const Section, Key, Value: string); override;
    procedure DoDeleteValue(const Section, Key: string); override;
    procedure DoEraseSection(const Section: string); override;
    procedure DoReadKeys(const Section: string; Keys: TStrings); override;
    procedure DoReadSections(const Section: string; Sections: TStrings); override;
    function DoSectionExists(const Section: string): Boolean; override;
    { Every section path, in the order they were made. }
    property Sections: TStringList read FSections;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure Clear;
    procedure Assign(Source: TPersistent); override;
    procedure LoadFromStrings(List: TStrings);
    procedure SaveToStrings(List: TStrings);
    property SectionCount: Integer read GetSectionCount;
  published
    property Options;
    property RootSection;
    property Crypt;
    property About;
    property OnReadValue;
    property OnWriteValue;
    property OnChange;
  end;

implementation

constructor TcvlMemStorage.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FSections := TStringList.Create;
end;

destructor TcvlMemStorage.Destroy;
begin
  inherited Destroy;
  if FSections <> nil then
  begin
    Clear;
    FSections.Free;
  end;
end;

procedure TcvlMemStorage.Clear;
var
  I: Integer;
begin
  for I := 0 to FSections.Count - 1 do
    FSections.Objects[I].Free;
  FSections.Clear;
end;

function TcvlMemStorage.GetSectionCount: Integer;
begin
  Result := FSections.Count;
end;

function TcvlMemStorage.FindSection(const Section: string; CanCreate: Boolean): TStringList;
var
  I: Integer;
begin
  { TStringList.IndexOf ignores letter case, as section names do. }
  I := FSections.IndexOf(Section);
  if I >= 0 then
    Result := TStringList(FSections.Objects[I])
  else if CanCreate then
  begin
    Result := TStringList.Create;
    FSections.AddObject(Section, Result);
  end
  else
    Result := nil;
end;

function TcvlMemStorage.DoReadValue(const Section, Key: string; var Value: string): Boolean;
var
  Values: TStringList;
  I: Integer;
begin
  Result := False;
  Values := FindSection(Section, False);
  if Values = nil then
    Exit;
  I := Values.IndexOfName(Key);
  if I < 0 then
    Exit;
  Value := Copy(Values[I], Length(Key) + 2, MaxInt);
  Result := True;
end;

procedure TcvlMemStorage.DoWriteValue(const Section, Key, Value: string);
var
  Values: TStringList;
  I: Integer;
begin
  if Pos(cvlNameValueSeparator, Key) > 0 then
    raise EcvlStorageError.CreateFmt(SCvlKeyInvalid, [Key]);
  Values := FindSection(Section, True);
  I := Values.IndexOfName(Key);
  if I >= 0 then
    Values[I] := Key + cvlNameValueSeparator + Value
  else
    Values.Add(Key + cvlNameValueSeparator + Value);
end;

procedure TcvlMemStorage.DoDeleteValue(const Section, Key: string);
var
  Values: TStringList;
  I: Integer;
begin
  Values := FindSection(Section, False);
  if Values = nil then
    Exit;
  I := Values.IndexOfName(Key);
  if I >= 0 then
    Values.Delete(I);
end;

procedure TcvlMemStorage.DoEraseSection(const Section: string);
var
  I: Integer;
begin
  { The section and everything below it. }
  for I := FSections.Count - 1 downto 0 do
    if (CompareText(FSections[I], Section) = 0) or
      cvlIsSubSection(FSections[I], Section) then
    begin
      FSections.Objects[I].Free;
      FSections.Delete(I);
    end;
end;

procedure TcvlMemStorage.DoReadKeys(const Section: string; Keys: TStrings);
var
  Values: TStringList;
  I: Integer;
begin
  Values := FindSection(Section, False);
  if Values <> nil then
    for I := 0 to Values.Count - 1 do
      Keys.Add(cvlNameOf(Values[I]));
end;

procedure TcvlMemStorage.DoReadSections(const Section: string; Sections: TStrings);
var
  I: Integer;
  Rel, Child: string;
begin
  { A section A\B\C also makes A\B a child of A, even without values. }
  for I := 0 to FSections.Count - 1 do
    if cvlIsSubSection(FSections[I], Section) then
    begin
      Rel := cvlRelativeSection(FSections[I], Section);
      Child := Rel;
      if Pos(cvlSectionDelimiter, Rel) > 0 then
        Child := Copy(Rel, 1, Pos(cvlSectionDelimiter, Rel) - 1);
      if Sections.IndexOf(Child) < 0 then
        Sections.Add(Child);
    end;
end;

function TcvlMemStorage.DoSectionExists(const Section: string): Boolean;
var
  I: Integer;
begin
  Result := True;
  for I := 0 to FSections.Count - 1 do
    if (CompareText(FSections[I], Section) = 0) or
      cvlIsSubSection(FSections[I], Section) then
      Exit;
  Result := False;
end;

procedure TcvlMemStorage.Assign(Source: TPersistent);
var
  List: TStringList;
begin
  if Source is TcvlMemStorage then
  begin
    List := TStringList.Create;
    try
      TcvlMemStorage(Source).SaveToStrings(List);
      LoadFromStrings(List);
    finally
      List.Free;
    end;
  end
  else
    inherited Assign(Source);
end;

{ Blanks at either end of a value would be lost to Trim when the text is read
  back; such values, and values that begin with a quote, are written quoted. }
function QuoteValue(const V: string): string;
begin
  if (V <> '') and ((V[1] = ' ') or (V[1] = '"') or (V[Length(V)] = ' ')) then
    Result := '"' + V + '"'
  else
    Result := V;
end;

function UnquoteValue(const V: string): string;
begin
  if (Length(V) >= 2) and (V[1] = '"') and (V[Length(V)] = '"') then
    Result := Copy(V, 2, Length(V) - 2)
  else
    Result := V;
end;

procedure TcvlMemStorage.LoadFromStrings(List: TStrings);
var
  I, P: Integer;
  Line: string;
  Values: TStringList;
begin
  Clear;
  Values := nil;
  for I := 0 to List.Count - 1 do
  begin
    Line := Trim(List[I]);
    if (Line = '') or (Line[1] = ';') or (Line[1] = '#') then
      Continue;
    if (Line[1] = '[') and (Line[Length(Line)] = ']') then
      Values := FindSection(cvlNormalizeSection(Copy(Line, 2, Length(Line) - 2)), True)
    else
    begin
      P := Pos(cvlNameValueSeparator, Line);
      if P <= 1 then
        Continue;  { not a value line: skipped, not fatal }
      if Values = nil then
        Values := FindSection('', True);
      Values.Add(Trim(Copy(Line, 1, P - 1)) + cvlNameValueSeparator +
        cvlUnescape(UnquoteValue(Trim(Copy(Line, P + 1, MaxInt)))));
    end;
  end;
end;

procedure TcvlMemStorage.SaveToStrings(List: TStrings);

  procedure AddSection(const Section: string; Values: TStringList);
  var
    J: Integer;
  begin
    if Values.Count = 0 then
      Exit;
    if List.Count > 0 then
      List.Add('');
    if Section <> '' then
      List.Add('[' + Section + ']');
    for J := 0 to Values.Count - 1 do
      List.Add(cvlNameOf(Values[J]) + cvlNameValueSeparator +
        QuoteValue(cvlEscape(cvlValueOf(Values[J]))));
  end;

var
  I: Integer;
  Root: TStringList;
begin
  List.BeginUpdate;
  try
    List.Clear;
    { Values of the root have no header, so they must come first. }
    Root := FindSection('', False);
    if Root <> nil then
      AddSection('', Root);
    for I := 0 to FSections.Count - 1 do
      if FSections[I] <> '' then
        AddSection(FSections[I], TStringList(FSections.Objects[I]));
  finally
    List.EndUpdate;
  end;
end;

end.
