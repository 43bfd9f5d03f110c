{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Form position and size                          }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlFormPlacement;

{$I cvl.inc}

{ Drop a TcvlFormPlacement on a form and link a storage: the form opens where
  the user left it, with its size and window state. The placement is read
  when the form is shown for the first time and written when it is
  destroyed. A position that lies outside every monitor of the current
  desktop (a second monitor that was removed) is moved back onto the
  primary screen. }

interface

uses
  Windows, Messages, SysUtils, Classes, Forms, cvlConsts, cvlTypes,
  cvlUtils, cvlStorage, cvlProfiles;

type
  TcvlPlacementOption = (ppPosition, ppSize, ppState);
  TcvlPlacementOptions = set of TcvlPlacementOption;

  TcvlFormPlacement = class(TComponent)
  private
    FStorage: TcvlCustomStorage;
    FProfiles: TcvlProfiles;
    FSection: string;
    FOptions: TcvlPlacementOptions;
    FRestored: Boolean;
    FSaveOnShow: TNotifyEvent;
    FSaveOnDestroy: TNotifyEvent;
    FOnSave: TNotifyEvent;
    FOnRestore: TNotifyEvent;
    procedure SetStorage(Value: TcvlCustomStorage);
    procedure SetProfiles(Value: TcvlProfiles);
    function Form: TCustomForm;
    procedure FormShow(Sender: TObject);
    procedure FormDestroy(Sender: TObject);
    procedure HookForm;
    procedure UnhookForm;
  protected
    procedure Loaded; override;
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    function ActualSection: string;
    procedure SavePlacement;
    procedure RestorePlacement;
  published
    property Storage: TcvlCustomStorage read FStorage write SetStorage;
    property Profiles: TcvlProfiles read FProfiles write SetProfiles;
    property Section: string read FSection write FSection;
    property Options: TcvlPlacementOptions read FOptions write FOptions
      default [ppPosition, ppSize, ppState];
    property OnSave: TNotifyEvent read FOnSave write FOnSave;
    property OnRestore: TNotifyEvent read FOnRestore write FOnRestore;
  end;

implementation

type
  TFormAccess = class(TCustomForm);

constructor TcvlFormPlacement.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FSection := cvlPlacementSection;
  FOptions := [ppPosition, ppSize, ppState];
end;

destructor TcvlFormPlacement.Destroy;
begin
  UnhookForm;
  inherited Destroy;
end;

function TcvlFormPlacement.Form: TCustomForm;
begin
  if Owner is TCustomForm then
    Result := TCustomForm(Owner)
  else
    Result := nil;
end;

procedure TcvlFormPlacement.Loaded;
begin
  inherited Loaded;
  if not (csDesigning in ComponentState) then
    HookForm;
end;

{ The form's own OnShow and OnDestroy handlers keep working: they are called
  from ours. }
procedure TcvlFormPlacement.HookForm;
var
  F: TFormAccess;
begin
  if Form = nil then
    Exit;
  F := TFormAccess(Form);
  FSaveOnShow := F.OnShow;
  FSaveOnDestroy := F.OnDestroy;
  F.OnShow := FormShow;
  F.OnDestroy := FormDestroy;
end;

procedure TcvlFormPlacement.UnhookForm;
var
  F: TFormAccess;
begin
  if (Form = nil) or (csDesigning in ComponentState) then
    Exit;
  F := TFormAccess(Form);
  if TMethod(F.OnShow).Data = Self then
    F.OnShow := FSaveOnShow;
  if TMethod(F.OnDestroy).Data = Self then
    F.OnDestroy := FSaveOnDestroy;
end;

procedure TcvlFormPlacement.FormShow(Sender: TObject);
begin
  if not FRestored then
  begin
    FRestored := True;
    if FStorage <> nil then
      RestorePlacement;
  end;
  if Assigned(FSaveOnShow) then
    FSaveOnShow(Sender);
end;

procedure TcvlFormPlacement.FormDestroy(Sender: TObject);
begin
  if FRestored and (FStorage <> nil) and not cvlIsReadOnly(FStorage) then
  try
    SavePlacement;
  except
    Application.HandleException(Self);
  end;
  if Assigned(FSaveOnDestroy) then
    FSaveOnDestroy(Sender);
end;

procedure TcvlFormPlacement.SetStorage(Value: TcvlCustomStorage);
begin
  if FStorage <> Value then
  begin
    FStorage := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlFormPlacement.SetProfiles(Value: TcvlProfiles);
begin
  if FProfiles <> Value then
  begin
    FProfiles := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlFormPlacement.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if Operation = opRemove then
  begin
    if AComponent = FStorage then
      FStorage := nil;
    if AComponent = FProfiles then
      FProfiles := nil;
  end;
end;

function TcvlFormPlacement.ActualSection: string;
begin
  Result := FSection;
  if FProfiles <> nil then
    Result := cvlJoinSection(FProfiles.ActiveSection, Result);
  if Owner <> nil then
    Result := cvlJoinSection(Result, Owner.Name);
end;

procedure TcvlFormPlacement.SavePlacement;
var
  F: TCustomForm;
  Placement: TWindowPlacement;
  S: string;
begin
  F := Form;
  if (F = nil) or (FStorage = nil) or not F.HandleAllocated then
    Exit;
  { The normal position, also when the form is maximized or minimized. }
  Placement.Length := SizeOf(Placement);
  if not GetWindowPlacement(F.Handle, @Placement) then
    Exit;
  S := ActualSection;
  FStorage.BeginUpdate;
  try
    with Placement.rcNormalPosition do
    begin
      if ppPosition in FOptions then
      begin
        FStorage.WriteInteger(S, 'Left', Left);
        FStorage.WriteInteger(S, 'Top', Top);
      end;
      if ppSize in FOptions then
      begin
        FStorage.WriteInteger(S, 'Width', Right - Left);
        FStorage.WriteInteger(S, 'Height', Bottom - Top);
      end;
    end;
    if ppState in FOptions then
      FStorage.WriteBool(S, 'Maximized', F.WindowState = wsMaximized);
  finally
    FStorage.EndUpdate;
  end;
  if Assigned(FOnSave) then
    FOnSave(Self);
end;

procedure TcvlFormPlacement.RestorePlacement;
var
  F: TCustomForm;
  S: string;
  R, Work: TRect;
begin
  F := Form;
  if (F = nil) or (FStorage = nil) then
    Exit;
  S := ActualSection;
  if not FStorage.SectionExists(S) then
    Exit;
  R := F.BoundsRect;
  if ppPosition in FOptions then
  begin
    R.Left := FStorage.ReadInteger(S, 'Left', R.Left);
    R.Top := FStorage.ReadInteger(S, 'Top', R.Top);
  end;
  if ppSize in FOptions then
  begin
    R.Right := R.Left + FStorage.ReadInteger(S, 'Width', F.Width);
    R.Bottom := R.Top + FStorage.ReadInteger(S, 'Height', F.Height);
  end
  else
  begin
    R.Right := R.Left + F.Width;
    R.Bottom := R.Top + F.Height;
  end;
  SystemParametersInfo(SPI_GETWORKAREA, 0, @Work, 0);
{$IFDEF CVL_D4UP}
  Work := Rect(Screen.DesktopLeft, Screen.DesktopTop,
    Screen.DesktopLeft + Screen.DesktopWidth, Screen.DesktopTop + Screen.DesktopHeight);
{$ENDIF}
  { Back onto the desktop if no part of the title bar would be visible. }
  if (R.Left >= Work.Right) or (R.Right <= Work.Left) or
    (R.Top >= Work.Bottom) or (R.Top < Work.Top) then
    OffsetRect(R, Work.Left - R.Left, Work.Top - R.Top);
  if TFormAccess(F).BorderStyle in [bsSizeable, bsSizeToolWin] then
    F.SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top)
  else
    F.SetBounds(R.Left, R.Top, F.Width, F.Height);
  TFormAccess(F).Position := poDesigned;
  if (ppState in FOptions) and FStorage.ReadBool(S, 'Maximized', False) then
    F.WindowState := wsMaximized;
  if Assigned(FOnRestore) then
    FOnRestore(Self);
end;

end.
