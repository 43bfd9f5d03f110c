{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Common types and exceptions                     }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlTypes;

{$I cvl.inc}

interface

uses
  SysUtils, Classes;

type
  { Every error the library raises descends from EcvlError, so that an
    application can tell settings problems from its own. }
  EcvlError = class(Exception);
  EcvlStorageError = class(EcvlError);
  EcvlConvertError = class(EcvlError);
  EcvlCryptError = class(EcvlError);
  EcvlXmlError = class(EcvlStorageError);
  EcvlProfileError = class(EcvlError);
  EcvlTemplateError = class(EcvlError);
  EcvlValidateError = class(EcvlError);

  { The kinds a stored value can be read back as. Storages keep text; the kind
    says how the text was made. }
  TcvlValueKind = (vkString, vkInteger, vkBoolean, vkFloat, vkDateTime,
    vkBinary, vkStrings);

  TcvlStorageOption = (
    soAutoCreate,     { create the file or key on first write }
    soReadOnly,       { refuse writes }
    soAutoFlush,      { write the file after every change, not only on Flush }
    soEncryptAll,     { encrypt every written value (needs a Crypt component) }
    soExpandMacros,   { expand $(AppDir), %TEMP% and the like when reading }
    soCacheValues);   { keep read values in memory }
  TcvlStorageOptions = set of TcvlStorageOption;

  { Where TcvlAppSettings keeps the settings. }
  TcvlStorageKind = (skIniFile, skRegistry, skXmlFile, skMemory);

  { Which registry root a registry storage uses. }
  TcvlRegistryRoot = (rrCurrentUser, rrLocalMachine, rrClassesRoot, rrUsers);

  TcvlSettingEvent = procedure(Sender: TObject;
    const Section, Key: string) of object;
  TcvlReadValueEvent = procedure(Sender: TObject; const Section, Key: string;
    var Value: string) of object;
  TcvlWriteValueEvent = procedure(Sender: TObject; const Section, Key: string;
    var Value: string; var Allow: Boolean) of object;
  TcvlErrorEvent = procedure(Sender: TObject; E: Exception;
    var Handled: Boolean) of object;

  { A change notification, sent by a storage to the components linked to it. }
  TcvlChangeKind = (ckValue, ckSection, ckReload, ckDestroy);

  IcvlStorageClient = interface
    ['{5C1B7E2A-9A44-4D0B-8E0B-7B3C2F1A6D11}']
    procedure StorageChanged(Sender: TObject; Kind: TcvlChangeKind;
      const Section: string);
  end;

const
  cvlValueKindNames: array[TcvlValueKind] of string = (
    'String', 'Integer', 'Boolean', 'Float', 'DateTime', 'Binary', 'Strings');

  cvlStorageKindNames: array[TcvlStorageKind] of string = (
    'IniFile', 'Registry', 'XmlFile', 'Memory');

function cvlValueKindFromName(const Name: string; var Kind: TcvlValueKind): Boolean;
function cvlStorageKindFromName(const Name: string; var Kind: TcvlStorageKind): Boolean;

implementation

function cvlValueKindFromName(const Name: string; var Kind: TcvlValueKind): Boolean;
var
  K: TcvlValueKind;
begin
  for K := Low(TcvlValueKind) to High(TcvlValueKind) do
    if CompareText(Name, cvlValueKindNames[K]) = 0 then
    begin
      Kind := K;
      Result := True;
      Exit;
    end;
  Result := False;
end;

function cvlStorageKindFromName(const Name: string; var Kind: TcvlStorageKind): Boolean;
var
  K: TcvlStorageKind;
begin
  for K := Low(TcvlStorageKind) to High(TcvlStorageKind) do
    if CompareText(Name, cvlStorageKindNames[K]) = 0 then
    begin
      Kind := K;
      Result := True;
      Exit;
    end;
  Result := False;
end;

end.
