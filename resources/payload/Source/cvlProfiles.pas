{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Named settings profiles                         }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlProfiles;

{$I cvl.inc}

{ A profile is a named set of settings in Profiles\<Name>; the name of the
  active one is the value Profiles\Active. Components that keep per-user
  state (form placement, MRU lists) ask the profiles component for the
  section of the active profile, so switching the profile switches all of
  them at once. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStorage, cvlStreams;

type
  TcvlProfileChangeEvent = procedure(Sender: TObject;
    const OldProfile, NewProfile: string) of object;

  TcvlProfiles = class(TComponent)
  private
    FStorage: TcvlCustomStorage;
    FSection: string;
    FDefaultProfile: string;
    FOnChange: TcvlProfileChangeEvent;
    procedure SetStorage(Value: TcvlCustomStorage);
    function GetActiveProfile: string;
    procedure SetActiveProfile(const Value: string);
    procedure CheckStorage;
    procedure CheckName(const Name: string);
  protected
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;
  public
    constructor Create(AOwner: TComponent); override;
    procedure GetProfiles(List: TStrings);
    function ProfileExists(const Name: string): Boolean;
    { Creates a profile, empty or as a copy of CopyFrom. }
    procedure CreateProfile(const Name, CopyFrom: string);
    procedure DeleteProfile(const Name: string);
    procedure RenameProfile(const OldName, NewName: string);
    { The section of a profile, for the components that keep their state in it. }
    function ProfileSection(const Name: string): string;
    function ActiveSection: string;
    property ActiveProfile: string read GetActiveProfile write SetActiveProfile;
  published
    property Storage: TcvlCustomStorage read FStorage write SetStorage;
    property Section: string read FSection write FSection;
    property DefaultProfile: string read FDefaultProfile write FDefaultProfile;
    property OnChange: TcvlProfileChangeEvent read FOnChange write FOnChange;
  end;

implementation

constructor TcvlProfiles.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FSection := cvlProfilesSection;
  FDefaultProfile := cvlDefaultProfile;
end;

procedure TcvlProfiles.SetStorage(Value: TcvlCustomStorage);
begin
  if FStorage <> Value then
  begin
    FStorage := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlProfiles.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if (Operation = opRemove) and (AComponent = FStorage) then
    FStorage := nil;
end;

procedure TcvlProfiles.CheckStorage;
begin
  if FStorage = nil then
    raise EcvlProfileError.CreateFmt(SCvlNoStorage, [Name]);
end;

procedure TcvlProfiles.CheckName(const Name: string);
begin
  { A profile name is one section name: no delimiter, not empty. }
  if (Trim(Name) = '') or (Pos(cvlSectionDelimiter, Name) > 0) or
    (Pos('/', Name) > 0) then
    raise EcvlProfileError.CreateFmt(SCvlProfileName, [Name]);
end;

function TcvlProfiles.ProfileSection(const Name: string): string;
begin
  Result := cvlJoinSection(FSection, Name);
end;

function TcvlProfiles.ActiveSection: string;
begin
  Result := ProfileSection(ActiveProfile);
end;

procedure TcvlProfiles.GetProfiles(List: TStrings);
begin
  CheckStorage;
  FStorage.ReadSections(FSection, List);
end;

function TcvlProfiles.ProfileExists(const Name: string): Boolean;
begin
  CheckStorage;
  Result := FStorage.SectionExists(ProfileSection(Name));
end;

function TcvlProfiles.GetActiveProfile: string;
begin
  Result := FDefaultProfile;
  if FStorage <> nil then
    Result := FStorage.ReadString(FSection, cvlProfilesActiveKey, FDefaultProfile);
  if Result = '' then
    Result := FDefaultProfile;
end;

procedure TcvlProfiles.SetActiveProfile(const Value: string);
var
  Old: string;
begin
  CheckStorage;
  CheckName(Value);
  Old := GetActiveProfile;
  if CompareText(Old, Value) = 0 then
    Exit;
  FStorage.WriteString(FSection, cvlProfilesActiveKey, Value);
  if Assigned(FOnChange) then
    FOnChange(Self, Old, Value);
end;

procedure TcvlProfiles.CreateProfile(const Name, CopyFrom: string);
begin
  CheckStorage;
  CheckName(Name);
  if ProfileExists(Name) then
    raise EcvlProfileError.CreateFmt(SCvlProfileExists, [Name]);
  if CopyFrom <> '' then
  begin
    if not ProfileExists(CopyFrom) then
      raise EcvlProfileError.CreateFmt(SCvlProfileNotFound, [CopyFrom]);
    cvlCopySection(FStorage, FStorage, ProfileSection(CopyFrom), ProfileSection(Name));
  end;
  { An empty profile still needs a mark, or it would not exist. }
  if not ProfileExists(Name) then
    FStorage.WriteDateTime(ProfileSection(Name), cvlProfilesCreatedKey, Now);
end;

procedure TcvlProfiles.DeleteProfile(const Name: string);
begin
  CheckStorage;
  if not ProfileExists(Name) then
    raise EcvlProfileError.CreateFmt(SCvlProfileNotFound, [Name]);
  FStorage.EraseSection(ProfileSection(Name));
  if CompareText(ActiveProfile, Name) = 0 then
    FStorage.DeleteValue(FSection, cvlProfilesActiveKey);
end;

procedure TcvlProfiles.RenameProfile(const OldName, NewName: string);
var
  WasActive: Boolean;
begin
  CheckStorage;
  CheckName(NewName);
  if CompareText(OldName, NewName) = 0 then
    Exit;
  if not ProfileExists(OldName) then
    raise EcvlProfileError.CreateFmt(SCvlProfileNotFound, [OldName]);
  if ProfileExists(NewName) then
    raise EcvlProfileError.CreateFmt(SCvlProfileExists, [NewName]);
  WasActive := CompareText(ActiveProfile, OldName) = 0;
  FStorage.BeginUpdate;
  try
    cvlCopySection(FStorage, FStorage, ProfileSection(OldName), ProfileSection(NewName));
    FStorage.EraseSection(ProfileSection(OldName));
    if WasActive then
      FStorage.WriteString(FSection, cvlProfilesActiveKey, NewName);
  finally
    FStorage.EndUpdate;
  end;
end;

end.
