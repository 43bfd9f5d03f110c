program cvlselftest;

{ Host-side checks of the library's non-visual units, compiled with Free
  Pascal in Delphi mode: value texts, escaping, Base64 and encryption, the
  INI and XML storages through a file and back, profiles, templates from the
  shipped cvTempls.ini, command-line overrides, validators and versions.
  Prints one line per failed check and exits with 1 when any failed. }

{$MODE DELPHI}

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlCrypt,
  cvlStorage, cvlMemStorage, cvlIniStorage, cvlXmlStorage, cvlStreams,
  cvlSections, cvlProfiles, cvlTemplates, cvlCmdLine, cvlValidators,
  cvlVersion, cvlEnvironment;

var
  Failures: Integer = 0;
  Checks: Integer = 0;
  TempDir: string;

procedure Check(Ok: Boolean; const What: string);
begin
  Inc(Checks);
  if not Ok then
  begin
    Inc(Failures);
    WriteLn('FAIL: ', What);
  end;
end;

procedure CheckEq(const Got, Want, What: string);
begin
  Check(Got = Want, What + ': got [' + Got + '], want [' + Want + ']');
end;

procedure TestSections;
begin
  CheckEq(cvlNormalizeSection('\\Main//Window\\'), 'Main\Window', 'normalize');
  CheckEq(cvlJoinSection('Main', 'Window\Toolbar'), 'Main\Window\Toolbar', 'join');
  CheckEq(cvlJoinSection('', 'A'), 'A', 'join to root');
  CheckEq(cvlParentSection('A\B\C'), 'A\B', 'parent');
  CheckEq(cvlParentSection('A'), '', 'parent of top level');
  CheckEq(cvlSectionName('A\B\C'), 'C', 'section name');
  Check(cvlIsSubSection('a\b', 'A'), 'subsection ignores case');
  Check(not cvlIsSubSection('AB', 'A'), 'AB is no subsection of A');
  CheckEq(cvlRelativeSection('Profiles\Work\Editor', 'Profiles'), 'Work\Editor', 'relative');
end;

procedure TestValues;
var
  I: Integer;
  F: Extended;
  B: Boolean;
  D: TDateTime;
begin
  Check(cvlTextToInt(' 42 ', I) and (I = 42), 'int with blanks');
  Check(not cvlTextToInt('4x2', I), 'int rejects garbage');
  Check(not cvlTextToInt('', I), 'int rejects empty');
  CheckEq(cvlFloatToText(3.25), '3.25', 'float text');
  CheckEq(cvlFloatToText(-0.5), '-0.5', 'negative float');
  CheckEq(cvlFloatToText(100), '100', 'whole float');
  Check(cvlTextToFloat('2,5', F) and (Abs(F - 2.5) < 1E-12), 'float with comma');
  Check(cvlTextToFloat(cvlFloatToText(1E-20), F) and (Abs(F - 1E-20) < 1E-30), 'tiny float round trip');
  Check(cvlTextToFloat(cvlFloatToText(1/3), F) and (Abs(F - 1/3) < 1E-14), 'third round trip');
  Check(cvlTextToBool('Yes', B) and B, 'yes is true');
  Check(cvlTextToBool('off', B) and not B, 'off is false');
  Check(not cvlTextToBool('maybe', B), 'maybe is no Boolean');
  D := EncodeDate(2021, 3, 15) + EncodeTime(14, 5, 9, 0);
  CheckEq(cvlDateTimeToText(D), '2021-03-15T14:05:09', 'date text');
  Check(cvlTextToDateTime('2021-03-15T14:05:09', D) and
    (cvlDateTimeToText(D) = '2021-03-15T14:05:09'), 'date round trip');
  Check(cvlTextToDateTime('2021-03-15', D) and (Frac(D) = 0), 'date alone');
  Check(not cvlTextToDateTime('2021-02-30', D), 'no 30 February');
  Check(not cvlTextToDateTime('2021-03-15T25:00', D), 'no hour 25');
end;

procedure TestStrings;
var
  List: TStringList;
  Bytes: AnsiString;
begin
  CheckEq(cvlUnescape(cvlEscape('a\b'#13#10'c'#9)), 'a\b'#13#10'c'#9, 'escape round trip');
  CheckEq(cvlEscape('line1'#13#10'line2'), 'line1\r\nline2', 'escape');
  List := TStringList.Create;
  try
    cvlSplit('a,"b,c",,d', ',', List);
    Check((List.Count = 4) and (List[1] = 'b,c') and (List[2] = ''), 'split with quotes');
    CheckEq(cvlJoin(List, ','), 'a,"b,c",,d', 'join');
  finally
    List.Free;
  end;
  CheckEq(cvlStrToHex(#0#1#255), '0001FF', 'hex');
  Check(cvlHexToStr('0001ff', Bytes) and (Bytes = #0#1#255), 'hex back');
  Check(not cvlHexToStr('0G', Bytes), 'bad hex digit');
  Check(not cvlHexToStr('123', Bytes), 'odd hex length');
  Check(cvlMatchesMask('Editor\FontSize', 'editor\*'), 'mask star');
  Check(cvlMatchesMask('abc', 'a?c'), 'mask question mark');
  Check(not cvlMatchesMask('abcd', 'a?c'), 'mask too long');
  CheckEq(cvlReplaceText('Hello hello', 'HELLO', 'Bye'), 'Bye Bye', 'replace ignores case');
end;

procedure TestCrypt;
var
  Crypt: TcvlCrypt;
  Plain, Text: string;
  Bytes: AnsiString;
  I: Integer;
begin
  CheckEq(cvlBase64Encode('Man'), 'TWFu', 'base64 3 bytes');
  CheckEq(cvlBase64Encode('Ma'), 'TWE=', 'base64 2 bytes');
  CheckEq(cvlBase64Encode('M'), 'TQ==', 'base64 1 byte');
  Check(cvlBase64Decode('TWE=', Bytes) and (Bytes = 'Ma'), 'base64 decode');
  Check(not cvlBase64Decode('TW=E', Bytes), 'base64 padding in the middle');
  Check(not cvlBase64Decode('TWE', Bytes), 'base64 length');
  Check(cvlCRC32('123456789') = $CBF43926, 'CRC-32 check value');
  Crypt := TcvlCrypt.Create(nil);
  try
    Crypt.Key := 'secret';
    Text := Crypt.Encrypt('p@ss word');
    Check(Crypt.IsEncrypted(Text), 'marked as encrypted');
    Check(Crypt.Decrypt(Text, Plain) and (Plain = 'p@ss word'), 'decrypt');
    Check(Crypt.Encrypt('x') <> Crypt.Encrypt('x'), 'salted');
    Crypt.Key := 'other';
    Check(not Crypt.Decrypt(Text, Plain), 'wrong key is detected');
    Crypt.Key := 'secret';
    I := Length(Text) - 2;
    if Text[I] = 'A' then Text[I] := 'B' else Text[I] := 'A';
    Check(not Crypt.Decrypt(Text, Plain), 'damaged value is detected');
  finally
    Crypt.Free;
  end;
end;

{ The same sequence of writes against any storage; Reopen makes a new
  storage on the same file, so that the values come back from the file. }
type
  TReopen = function: TcvlCustomStorage;

var
  IniName, XmlName: string;

function ReopenIni: TcvlCustomStorage;
begin
  Result := TcvlIniStorage.Create(nil);
  TcvlIniStorage(Result).FileName := IniName;
end;

function ReopenXml: TcvlCustomStorage;
begin
  Result := TcvlXmlStorage.Create(nil);
  TcvlXmlStorage(Result).FileName := XmlName;
end;

function FileText(const Name: string): string;
var
  Lines: TStringList;
begin
  Lines := TStringList.Create;
  try
    Lines.LoadFromFile(Name);
    Result := Lines.Text;
  finally
    Lines.Free;
  end;
end;

procedure TestStorage(const Kind, FileName: string; Reopen: TReopen);
var
  S: TcvlCustomStorage;
  List: TStringList;
  Stream: TMemoryStream;
  Crypt: TcvlCrypt;
begin
  List := TStringList.Create;
  Crypt := TcvlCrypt.Create(nil);
  Crypt.Key := 'k';
  try
    S := Reopen;
    try
      S.Crypt := Crypt;
      S.WriteString('', 'RootValue', 'at the root');
      S.WriteString('Main', 'Title', '  blanks & <tags> "quoted" ');
      S.WriteString('Main', 'Lines', 'one'#13#10'two');
      S.WriteInteger('Main\Window', 'Left', -12);
      S.WriteBool('Main\Window', 'Maximized', True);
      S.WriteFloat('Main\Window', 'Zoom', 1.5);
      S.WriteSecret('Login', 'Password', 'pa55');
      List.CommaText := 'a,b,"c d"';
      S.WriteStrings('Recent', List);
      Stream := TMemoryStream.Create;
      try
        Stream.WriteBuffer(PAnsiChar(AnsiString(#1#2#3#0#255))^, 5);
        Stream.Position := 0;
        S.WriteBinary('Main', 'Blob', Stream);
      finally
        Stream.Free;
      end;
      S.Flush;
    finally
      S.Free;
    end;

    S := Reopen;
    try
      S.Crypt := Crypt;
      CheckEq(S.ReadString('', 'RootValue', ''), 'at the root', Kind + ' root value');
      CheckEq(S.ReadString('Main', 'Title', ''), '  blanks & <tags> "quoted" ', Kind + ' blanks and markup');
      CheckEq(S.ReadString('Main', 'Lines', ''), 'one'#13#10'two', Kind + ' line breaks');
      Check(S.ReadInteger('Main\Window', 'Left', 0) = -12, Kind + ' integer');
      Check(S.ReadBool('Main\Window', 'Maximized', False), Kind + ' Boolean');
      Check(Abs(S.ReadFloat('Main\Window', 'Zoom', 0) - 1.5) < 1E-9, Kind + ' float');
      CheckEq(S.ReadSecret('Login', 'Password', ''), 'pa55', Kind + ' secret');
      Check(Pos('pa55', FileText(FileName)) = 0, Kind + ' secret not in plain text in the file');
      S.ReadStrings('Recent', List);
      CheckEq(List.CommaText, 'a,b,"c d"', Kind + ' list');
      Stream := TMemoryStream.Create;
      try
        Check(S.ReadBinary('Main', 'Blob', Stream) = 5, Kind + ' binary size');
      finally
        Stream.Free;
      end;
      S.ReadSections('', List);
      List.Sort;
      CheckEq(List.CommaText, 'Login,Main,Recent', Kind + ' top sections');
      S.ReadSections('Main', List);
      CheckEq(List.CommaText, 'Window', Kind + ' subsections');
      Check(S.SectionExists('main\window'), Kind + ' section exists ignoring case');
      Check(S.ReadInteger('Main', 'Missing', 7) = 7, Kind + ' default');
      Check(S.ReadInteger('Main', 'Title', 7) = 7, Kind + ' text read as integer gives default');
      S.EraseSection('Main');
      Check(not S.SectionExists('Main\Window'), Kind + ' erase takes subsections');
      Check(S.ValueExists('Login', 'Password'), Kind + ' erase leaves other sections');
    finally
      S.Free;
    end;
  finally
    Crypt.Free;
    List.Free;
  end;
end;

procedure TestXmlErrors;
var
  S: TcvlXmlStorage;
  Raised: Boolean;
begin
  S := TcvlXmlStorage.Create(nil);
  try
    S.LoadFromXml('<?xml version="1.0"?><!-- c --><settings><section name="A">' +
      '<value name="x">1 &lt; 2 &#65;<![CDATA[<raw>]]></value><unknown><deep/></unknown>' +
      '</section></settings>', 'inline');
    CheckEq(S.ReadString('A', 'x', ''), '1 < 2 A<raw>', 'xml entities and CDATA');
    Raised := False;
    try
      S.LoadFromXml('<settings><section name="A"><value name="x">1</section></settings>', 'broken');
    except
      on E: EcvlXmlError do
        Raised := Pos('broken', E.Message) > 0;
    end;
    Check(Raised, 'xml syntax error is reported with the file name');
    Raised := False;
    try
      S.LoadFromXml('<config/>', 'other');
    except
      on E: EcvlXmlError do
        Raised := True;
    end;
    Check(Raised, 'xml without <settings> is refused');
  finally
    S.Free;
  end;
end;

procedure TestProfilesAndTemplates(const TemplateFile: string);
var
  S: TcvlMemStorage;
  P: TcvlProfiles;
  T: TcvlTemplates;
  List: TStringList;
  Raised: Boolean;
begin
  S := TcvlMemStorage.Create(nil);
  P := TcvlProfiles.Create(nil);
  T := TcvlTemplates.Create(nil);
  List := TStringList.Create;
  try
    P.Storage := S;
    CheckEq(P.ActiveProfile, 'Default', 'default profile');
    P.CreateProfile('Work', '');
    S.WriteString(P.ProfileSection('Work'), 'Color', 'Blue');
    P.CreateProfile('Copy', 'Work');
    CheckEq(S.ReadString(P.ProfileSection('Copy'), 'Color', ''), 'Blue', 'profile copy');
    P.ActiveProfile := 'Copy';
    P.RenameProfile('Copy', 'Home');
    CheckEq(P.ActiveProfile, 'Home', 'rename keeps the active mark');
    Raised := False;
    try
      P.CreateProfile('Work', '');
    except
      on EcvlProfileError do Raised := True;
    end;
    Check(Raised, 'duplicate profile refused');
    Raised := False;
    try
      P.CreateProfile('A\B', '');
    except
      on EcvlProfileError do Raised := True;
    end;
    Check(Raised, 'profile name with a backslash refused');
    P.GetProfiles(List);
    List.Sort;
    CheckEq(List.CommaText, 'Home,Work', 'profile list');

    T.FileName := TemplateFile;
    T.GetTemplates(List);
    Check(List.IndexOf('Editor') >= 0, 'templates listed');
    S.WriteString('Editor', 'FontSize', '14');
    Check(T.ApplyTemplate('Editor', S, '', False) > 0, 'template applied');
    CheckEq(S.ReadString('Editor', 'FontSize', ''), '14', 'existing value kept');
    CheckEq(S.ReadString('Editor', 'FontName', ''), 'Courier New', 'template value');
    CheckEq(S.ReadString('Placement\MainForm', 'Width', ''), '640', 'inherited value');
    CheckEq(S.ReadString('General', 'Language', ''), 'English', 'value inherited twice');
    Raised := False;
    try
      T.ApplyTemplate('No such template', S, '', True);
    except
      on EcvlTemplateError do Raised := True;
    end;
    Check(Raised, 'missing template reported');
  finally
    List.Free;
    T.Free;
    P.Free;
    S.Free;
  end;
end;

procedure TestCommandLineAndValidators;
var
  C: TcvlCommandLine;
  S: TcvlMemStorage;
  V: TcvlValidators;
  Args: TStringList;
  Rule: TcvlValidationRule;
  Raised: Boolean;
begin
  C := TcvlCommandLine.Create(nil);
  S := TcvlMemStorage.Create(nil);
  V := TcvlValidators.Create(nil);
  Args := TStringList.Create;
  try
    Args.Add('/Profile:Laptop');
    Args.Add('--config="C:\My Settings\a.ini"');
    Args.Add('/set:Editor\FontSize=12');
    Args.Add('-set=View\Title=a=b');
    Args.Add('report.txt');
    C.Parse(Args);
    CheckEq(C.SwitchValue('profile', ''), 'Laptop', 'switch value');
    CheckEq(C.SwitchValue('CONFIG', ''), 'C:\My Settings\a.ini', 'quoted switch value');
    Check((C.ParamCount = 1) and (C.Params[0] = 'report.txt'), 'plain parameter');
    Check(C.ApplyOverrides(S) = 2, 'overrides applied');
    CheckEq(S.ReadString('View', 'Title', ''), 'a=b', 'override value with =');

    Rule := V.Rules.Add;
    Rule.Key := 'Editor\Font*';
    Rule.Kind := vrIntegerRange;
    Rule.MinValue := '6';
    Rule.MaxValue := '72';
    V.Storage := S;
    S.WriteInteger('Editor', 'FontSize', 10);
    Raised := False;
    try
      S.WriteInteger('Editor', 'FontSize', 100);
    except
      on EcvlValidateError do Raised := True;
    end;
    Check(Raised and (S.ReadInteger('Editor', 'FontSize', 0) = 10), 'validator refuses out of range');
    V.RaiseErrors := False;
    S.WriteString('Editor', 'FontSize', 'big');
    Check(S.ReadInteger('Editor', 'FontSize', 0) = 10, 'silent validator keeps the old value');
    S.WriteString('Other', 'FontSize', 'big');
    CheckEq(S.ReadString('Other', 'FontSize', ''), 'big', 'rule applies to its key only');
  finally
    Args.Free;
    V.Free;
    S.Free;
    C.Free;
  end;
end;

procedure TestVersionAndMacros;
var
  V: TcvlVersion;
begin
  Check(cvlVersionAtLeast('4.05') and cvlVersionAtLeast('4.7') and
    not cvlVersionAtLeast('4.08') and not cvlVersionAtLeast('5'), 'version comparison');
  Check(not cvlParseVersion('4.x', V), 'bad version text');
  Check(cvlParseVersion('4.07', V) and (cvlVersionToText(V) = '4.07'), 'version text');
  cvlSetMacro('Data', '/srv/data');
  CheckEq(cvlExpandMacros('$(Data)/x $(Unknown) 100%'), '/srv/data/x $(Unknown) 100%', 'macros');
end;

begin
  TempDir := IncludeTrailingPathDelimiter(ParamStr(2));
  IniName := TempDir + 'test.ini';
  XmlName := TempDir + 'test.xml';
  TestSections;
  TestValues;
  TestStrings;
  TestCrypt;
  TestStorage('ini', IniName, ReopenIni);
  TestStorage('xml', XmlName, ReopenXml);
  TestXmlErrors;
  TestProfilesAndTemplates(ParamStr(1));
  TestCommandLineAndValidators;
  TestVersionAndMacros;
  WriteLn(Checks - Failures, ' passed, ', Failures, ' failed');
  if Failures > 0 then
    Halt(1);
end.
