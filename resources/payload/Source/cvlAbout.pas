{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       About box                                       }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlAbout;

{$I cvl.inc}

{ The About box of the library lives in cvlabout.dll, which the setup
  program installs into the Source folder of the library and records under
  HKEY_LOCAL_MACHINE\Software\Brindlecraft\Corvane library (value RootDir).
  cvlShowAbout loads it on demand; when it is missing (the library was
  copied by hand) a plain message box with the version takes its place. }

interface

uses
  Windows, SysUtils, Registry, cvlConsts;

procedure cvlShowAbout(ParentWnd: HWND);
{ Full path of cvlabout.dll, or '' when the library's installation is not
  recorded in the registry. }
function cvlAboutLibraryPath: string;

implementation

type
  TShowCorvaneAbout = procedure(ParentWnd: HWND); stdcall;

const
  AboutIconName = 'CVLABOUT';

function cvlAboutLibraryPath: string;
var
  Reg: TRegistry;
  Root: string;
begin
  Result := '';
  Reg := TRegistry.Create;
  try
    Reg.RootKey := HKEY_LOCAL_MACHINE;
{$IFDEF CVL_D4UP}
    if not Reg.OpenKeyReadOnly(cvlProductKey) then
{$ELSE}
    if not Reg.OpenKey(cvlProductKey, False) then
{$ENDIF}
      Exit;
    if Reg.ValueExists(cvlProductRootValue) then
      Root := Reg.ReadString(cvlProductRootValue);
  finally
    Reg.Free;
  end;
  if Root <> '' then
  begin
    if Root[Length(Root)] <> '\' then
      Root := Root + '\';
    Result := Root + 'Source\' + cvlAboutLibraryName;
  end;
end;

function ShowFromLibrary(ParentWnd: HWND): Boolean;
var
  Path: string;
  Lib: HMODULE;
  Show: TShowCorvaneAbout;
begin
  Result := False;
  Path := cvlAboutLibraryPath;
  if (Path = '') or not FileExists(Path) then
    Exit;
  { The full path: never a cvlabout.dll found on the search path. }
  Lib := LoadLibrary(PChar(Path));
  if Lib = 0 then
    Exit;
  try
    @Show := GetProcAddress(Lib, cvlAboutProcName);
    if @Show <> nil then
    begin
      Show(ParentWnd);
      Result := True;
    end;
  finally
    FreeLibrary(Lib);
  end;
end;

procedure ShowFallback(ParentWnd: HWND);
var
  Params: TMsgBoxParams;
  Text, Caption: string;
begin
  Text := Format(SCvlAboutText, [cvlLibVersion, SCvlTrialEdition]);
  Caption := SCvlAboutCaption;
  FillChar(Params, SizeOf(Params), 0);
  Params.cbSize := SizeOf(Params);
  Params.hwndOwner := ParentWnd;
  Params.lpszText := PChar(Text);
  Params.lpszCaption := PChar(Caption);
  { The icon comes from cvl.res, which the runtime package links; a program
    built without packages gets the standard information icon. }
  if FindResource(HInstance, AboutIconName, RT_GROUP_ICON) <> 0 then
  begin
    Params.hInstance := HInstance;
    Params.lpszIcon := AboutIconName;
    Params.dwStyle := MB_OK or MB_USERICON;
  end
  else
    Params.dwStyle := MB_OK or MB_ICONINFORMATION;
  MessageBoxIndirect(Params);
end;

procedure cvlShowAbout(ParentWnd: HWND);
begin
  if not ShowFromLibrary(ParentWnd) then
    ShowFallback(ParentWnd);
end;

end.
