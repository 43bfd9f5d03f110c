{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Section objects                                 }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlSections;

{$I cvl.inc}

{ TcvlSection is a storage seen through one section: code that saves the
  state of a window or a module gets a TcvlSection and reads and writes its
  values by key alone, without knowing where the section lies.

    S := TcvlSection.Create(Storage, 'Editor\Find');
    try
      S.WriteString('Text', Edit1.Text);
      S.WriteBool('MatchCase', CheckBox1.Checked);
    finally
      S.Free;
    end; }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStorage;

type
  TcvlSection = class
  private
    FStorage: TcvlCustomStorage;
    FPath: string;
    function GetName: string;
  public
    constructor Create(Storage: TcvlCustomStorage; const Path: string);
    function Child(const Name: string): TcvlSection;
    function Parent: TcvlSection;

    function ReadString(const Key, Default: string): string;
    procedure WriteString(const Key, Value: string);
    function ReadInteger(const Key: string; Default: Integer): Integer;
    procedure WriteInteger(const Key: string; Value: Integer);
    function ReadBool(const Key: string; Default: Boolean): Boolean;
    procedure WriteBool(const Key: string; Value: Boolean);
    function ReadFloat(const Key: string; Default: Extended): Extended;
    procedure WriteFloat(const Key: string; Value: Extended);
    function ReadDateTime(const Key: string; Default: TDateTime): TDateTime;
    procedure WriteDateTime(const Key: string; Value: TDateTime);
    procedure ReadStrings(const Name: string; List: TStrings);
    procedure WriteStrings(const Name: string; List: TStrings);

    function ValueExists(const Key: string): Boolean;
    function Exists: Boolean;
    procedure DeleteValue(const Key: string);
    procedure Erase;
    procedure ReadKeys(Keys: TStrings);
    procedure ReadSections(Sections: TStrings);

    property Storage: TcvlCustomStorage read FStorage;
    property Path: string read FPath;
    property Name: string read GetName;
  end;

  { Walks every section below a start section, depth first, parents before
    their children. }
  TcvlSectionVisitor = procedure(Section: TcvlSection; Level: Integer;
    var Stop: Boolean) of object;

procedure cvlWalkSections(Storage: TcvlCustomStorage; const Start: string;
  Visitor: TcvlSectionVisitor);

implementation

constructor TcvlSection.Create(Storage: TcvlCustomStorage; const Path: string);
begin
  inherited Create;
  if Storage = nil then
    raise EcvlStorageError.CreateFmt(SCvlNoStorage, [ClassName]);
  FStorage := Storage;
  FPath := cvlNormalizeSection(Path);
end;

function TcvlSection.GetName: string;
begin
  Result := cvlSectionName(FPath);
end;

function TcvlSection.Child(const Name: string): TcvlSection;
begin
  Result := TcvlSection.Create(FStorage, cvlJoinSection(FPath, Name));
end;

function TcvlSection.Parent: TcvlSection;
begin
  Result := TcvlSection.Create(FStorage, cvlParentSection(FPath));
end;

function TcvlSection.ReadString(const Key, Default: string): string;
begin
  Result := FStorage.ReadString(FPath, Key, Default);
end;

procedure TcvlSection.WriteString(const Key, Value: string);
begin
  FStorage.WriteString(FPath, Key, Value);
end;

function TcvlSection.ReadInteger(const Key: string; Default: Integer): Integer;
begin
  Result := FStorage.ReadInteger(FPath, Key, Default);
end;

procedure TcvlSection.WriteInteger(const Key: string; Value: Integer);
begin
  FStorage.WriteInteger(FPath, Key, Value);
end;

function TcvlSection.ReadBool(const Key: string; Default: Boolean): Boolean;
begin
  Result := FStorage.ReadBool(FPath, Key, Default);
end;

procedure TcvlSection.WriteBool(const Key: string; Value: Boolean);
begin
  FStorage.WriteBool(FPath, Key, Value);
end;

function TcvlSection.ReadFloat(const Key: string; Default: Extended): Extended;
begin
  Result := FStorage.ReadFloat(FPath, Key, Default);
end;

procedure TcvlSection.WriteFloat(const Key: string; Value: Extended);
begin
  FStorage.WriteFloat(FPath, Key, Value);
end;

function TcvlSection.ReadDateTime(const Key: string; Default: TDateTime): TDateTime;
begin
  Result := FStorage.ReadDateTime(FPath, Key, Default);
end;

procedure TcvlSection.WriteDateTime(const Key: string; Value: TDateTime);
begin
  FStorage.WriteDateTime(FPath, Key, Value);
end;

procedure TcvlSection.ReadStrings(const Name: string; List: TStrings);
begin
  FStorage.ReadStrings(cvlJoinSection(FPath, Name), List);
end;

procedure TcvlSection.WriteStrings(const Name: string; List: TStrings);
begin
  FStorage.WriteStrings(cvlJoinSection(FPath, Name), List);
end;

function TcvlSection.ValueExists(const Key: string): Boolean;
begin
  Result := FStorage.ValueExists(FPath, Key);
end;

function TcvlSection.Exists: Boolean;
begin
  Result := FStorage.SectionExists(FPath);
end;

procedure TcvlSection.DeleteValue(const Key: string);
begin
  FStorage.DeleteValue(FPath, Key);
end;

procedure TcvlSection.Erase;
begin
  FStorage.EraseSection(FPath);
end;

procedure TcvlSection.ReadKeys(Keys: TStrings);
begin
  FStorage.ReadKeys(FPath, Keys);
end;

procedure TcvlSection.ReadSections(Sections: TStrings);
begin
  FStorage.ReadSections(FPath, Sections);
end;

function Walk(Storage: TcvlCustomStorage; const Path: string; Level: Integer;
  Visitor: TcvlSectionVisitor): Boolean;
var
  Section: TcvlSection;
  Names: TStringList;
  I: Integer;
  Stop: Boolean;
begin
  Stop := False;
  Section := TcvlSection.Create(Storage, Path);
  Names := TStringList.Create;
  try
    Visitor(Section, Level, Stop);
    if not Stop then
    begin
      Section.ReadSections(Names);
      for I := 0 to Names.Count - 1 do
        if not Walk(Storage, cvlJoinSection(Path, Names[I]), Level + 1, Visitor) then
        begin
          Stop := True;
          Break;
        end;
    end;
  finally
    Names.Free;
    Section.Free;
  end;
  Result := not Stop;
end;

procedure cvlWalkSections(Storage: TcvlCustomStorage; const Start: string;
  Visitor: TcvlSectionVisitor);
begin
  Walk(Storage, Start, 0, Visitor);
end;

end.
