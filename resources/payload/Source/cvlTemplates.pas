{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Settings templates                              }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlTemplates;

{$I cvl.inc}

{ Templates are ready-made sets of settings that an application applies to
  a storage, typically on its first start. They live in an INI file, by
  default cvTempls.ini in the Windows directory, which the library's setup
  installs and which administrators may extend:

    [Templates]
    Standard window=Main window in the middle of the screen

    [Template:Standard window]
    Inherit=Defaults
    Placement\MainForm\Width=640
    Placement\MainForm\Height=480

  A line's name is the section path and the key, joined by a backslash.
  "Inherit" names a template whose values come first. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage,
  cvlMemStorage, cvlIniStorage, cvlEnvironment;

const
  cvlInheritKey = 'Inherit';
  cvlMaxInheritDepth = 16;

type
  TcvlTemplates = class(TComponent)
  private
    FFileName: string;
    FFile: TcvlIniStorage;
    function TemplateFile: TcvlIniStorage;
    procedure SetFileName(const Value: string);
    procedure CollectValues(const Name: string; Values: TStrings; Depth: Integer);
  public
    destructor Destroy; override;
    function ActualFileName: string;
    procedure Reload;
    procedure GetTemplates(List: TStrings);
    function TemplateExists(const Name: string): Boolean;
    function Description(const Name: string): string;
    { The values of a template, inherited ones included, as Path\Key=Value. }
    procedure GetTemplateValues(const Name: string; Values: TStrings);
    { Writes the template's values to Storage below Section. Without
      Overwrite, values the storage already has are kept. Returns the number
      of values written. }
    function ApplyTemplate(const Name: string; Storage: TcvlCustomStorage;
      const Section: string; Overwrite: Boolean): Integer;
  published
    property FileName: string read FFileName write SetFileName;
  end;

implementation

destructor TcvlTemplates.Destroy;
begin
  FFile.Free;
  inherited Destroy;
end;

function TcvlTemplates.ActualFileName: string;
begin
  if FFileName = '' then
    Result := cvlAddSlash(cvlWindowsDir) + cvlTemplateFileName
  else
    Result := cvlExpandMacros(FFileName);
end;

procedure TcvlTemplates.SetFileName(const Value: string);
begin
  if Value <> FFileName then
  begin
    FFileName := Value;
    Reload;
  end;
end;

procedure TcvlTemplates.Reload;
begin
  FFile.Free;
  FFile := nil;
end;

function TcvlTemplates.TemplateFile: TcvlIniStorage;
begin
  if FFile = nil then
  begin
    FFile := TcvlIniStorage.Create(nil);
    FFile.Options := [soReadOnly];
    FFile.FileName := ActualFileName;
  end;
  Result := FFile;
end;

procedure TcvlTemplates.GetTemplates(List: TStrings);
begin
  TemplateFile.ReadKeys(cvlTemplateIndexSection, List);
end;

function TcvlTemplates.TemplateExists(const Name: string): Boolean;
begin
  Result := TemplateFile.SectionExists(cvlTemplateSectionPrefix + Name);
end;

function TcvlTemplates.Description(const Name: string): string;
begin
  Result := TemplateFile.ReadString(cvlTemplateIndexSection, Name, '');
end;

procedure TcvlTemplates.CollectValues(const Name: string; Values: TStrings;
  Depth: Integer);
var
  Keys: TStringList;
  Section, Parent: string;
  I, J: Integer;
begin
  if Depth > cvlMaxInheritDepth then
    raise EcvlTemplateError.Create(SCvlCircularLink);
  if not TemplateExists(Name) then
    raise EcvlTemplateError.CreateFmt(SCvlTemplateNotFound, [Name]);
  Section := cvlTemplateSectionPrefix + Name;
  Parent := TemplateFile.ReadString(Section, cvlInheritKey, '');
  if Parent <> '' then
    CollectValues(Parent, Values, Depth + 1);
  Keys := TStringList.Create;
  try
    TemplateFile.ReadKeys(Section, Keys);
    for I := 0 to Keys.Count - 1 do
    begin
      if CompareText(Keys[I], cvlInheritKey) = 0 then
        Continue;
      { A value of the template replaces an inherited one. }
      J := Values.IndexOfName(Keys[I]);
      if J >= 0 then
        Values.Delete(J);
      Values.Add(Keys[I] + '=' + TemplateFile.ReadString(Section, Keys[I], ''));
    end;
  finally
    Keys.Free;
  end;
end;

procedure TcvlTemplates.GetTemplateValues(const Name: string; Values: TStrings);
begin
  Values.BeginUpdate;
  try
    Values.Clear;
    CollectValues(Name, Values, 0);
  finally
    Values.EndUpdate;
  end;
end;

function TcvlTemplates.ApplyTemplate(const Name: string;
  Storage: TcvlCustomStorage; const Section: string; Overwrite: Boolean): Integer;
var
  Values: TStringList;
  I: Integer;
  Path, ValueSection, Key: string;
begin
  Result := 0;
  if Storage = nil then
    raise EcvlTemplateError.CreateFmt(SCvlNoStorage, [Self.Name]);
  Values := TStringList.Create;
  try
    GetTemplateValues(Name, Values);
    Storage.BeginUpdate;
    try
      for I := 0 to Values.Count - 1 do
      begin
        Path := cvlJoinSection(Section, cvlNameOf(Values[I]));
        ValueSection := cvlParentSection(Path);
        Key := cvlSectionName(Path);
        if Key = '' then
          Continue;
        if Overwrite or not Storage.ValueExists(ValueSection, Key) then
        begin
          Storage.WriteString(ValueSection, Key, cvlValueOf(Values[I]));
          Inc(Result);
        end;
      end;
    finally
      Storage.EndUpdate;
    end;
  finally
    Values.Free;
  end;
end;

end.
