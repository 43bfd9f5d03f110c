{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Checks of written values                        }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlValidators;

{$I cvl.inc}

{ TcvlValidators holds rules for settings and checks every value written to
  the storage it is attached to, before the value reaches the storage:

    Rules[0]: Key = 'Editor\FontSize'  Kind = vrIntegerRange  Min = 6  Max = 72
    Rules[1]: Key = 'View\Theme'       Kind = vrChoice        Choices = Light,Dark

  A value that breaks a rule raises EcvlValidateError (or, with
  RaiseErrors off, is silently not written). Key may use the wildcards * and ?. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStrUtils, cvlStorage;

type
  TcvlRuleKind = (vrNotEmpty, vrMaxLength, vrIntegerRange, vrFloatRange,
    vrChoice, vrBoolean, vrDateTime);

  TcvlValidationRule = class(TCollectionItem)
  private
    FKey: string;
    FKind: TcvlRuleKind;
    FMinValue: string;
    FMaxValue: string;
    FMaxLength: Integer;
    FChoices: TStrings;
    procedure SetChoices(Value: TStrings);
  protected
    function GetDisplayName: string; override;
  public
    constructor Create(Collection: TCollection); override;
    destructor Destroy; override;
    procedure Assign(Source: TPersistent); override;
    function Matches(const Path: string): Boolean;
    { Empty when Value passes, else the message. }
    function Check(const Path, Value: string): string;
  published
    property Key: string read FKey write FKey;
    property Kind: TcvlRuleKind read FKind write FKind default vrNotEmpty;
    property MinValue: string read FMinValue write FMinValue;
    property MaxValue: string read FMaxValue write FMaxValue;
    property MaxLength: Integer read FMaxLength write FMaxLength default 0;
    property Choices: TStrings read FChoices write SetChoices;
  end;

  TcvlValidationRules = class(TCollection)
  private
    FOwner: TPersistent;
    function GetItem(Index: Integer): TcvlValidationRule;
  protected
    function GetOwner: TPersistent; override;
  public
    constructor Create(AOwner: TPersistent);
    function Add: TcvlValidationRule;
    property Items[Index: Integer]: TcvlValidationRule read GetItem; default;
  end;

  TcvlValidators = class(TComponent)
  private
    FRules: TcvlValidationRules;
    FStorage: TcvlCustomStorage;
    FRaiseErrors: Boolean;
    FOldWriteValue: TcvlWriteValueEvent;
    procedure SetRules(Value: TcvlValidationRules);
    procedure SetStorage(Value: TcvlCustomStorage);
    procedure StorageWriteValue(Sender: TObject; const Section, Key: string;
      var Value: string; var Allow: Boolean);
  protected
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    { Empty when the value passes every matching rule, else the first message. }
    function Validate(const Section, Key, Value: string): string;
  published
    property Rules: TcvlValidationRules read FRules write SetRules;
    property Storage: TcvlCustomStorage read FStorage write SetStorage;
    property RaiseErrors: Boolean read FRaiseErrors write FRaiseErrors default True;
  end;

implementation

{ TcvlValidationRule }

constructor TcvlValidationRule.Create(Collection: TCollection);
begin
  inherited Create(Collection);
  FChoices := TStringList.Create;
end;

destructor TcvlValidationRule.Destroy;
begin
  FChoices.Free;
  inherited Destroy;
end;

procedure TcvlValidationRule.Assign(Source: TPersistent);
begin
  if Source is TcvlValidationRule then
  begin
    FKey := TcvlValidationRule(Source).FKey;
    FKind := TcvlValidationRule(Source).FKind;
    FMinValue := TcvlValidationRule(Source).FMinValue;
    FMaxValue := TcvlValidationRule(Source).FMaxValue;
    FMaxLength := TcvlValidationRule(Source).FMaxLength;
    FChoices.Assign(TcvlValidationRule(Source).FChoices);
  end
  else
    inherited Assign(Source);
end;

procedure TcvlValidationRule.SetChoices(Value: TStrings);
begin
  FChoices.Assign(Value);
end;

function TcvlValidationRule.GetDisplayName: string;
begin
  if FKey = '' then
    Result := inherited GetDisplayName
  else
    Result := FKey;
end;

function TcvlValidationRule.Matches(const Path: string): Boolean;
begin
  Result := cvlMatchesMask(Path, cvlNormalizeSection(FKey));
end;

function TcvlValidationRule.Check(const Path, Value: string): string;
var
  I, Lo, Hi: Integer;
  F, FLo, FHi: Extended;
  B: Boolean;
  D: TDateTime;
  InRange: Boolean;
begin
  Result := '';
  case FKind of
    vrNotEmpty:
      if Trim(Value) = '' then
        Result := Format(SCvlValidateEmpty, [Path]);
    vrMaxLength:
      if (FMaxLength > 0) and (Length(Value) > FMaxLength) then
        Result := Format(SCvlValidateLength, [Path, FMaxLength]);
    vrIntegerRange:
      begin
        InRange := cvlTextToInt(Value, I);
        if InRange and (FMinValue <> '') and cvlTextToInt(FMinValue, Lo) then
          InRange := I >= Lo;
        if InRange and (FMaxValue <> '') and cvlTextToInt(FMaxValue, Hi) then
          InRange := I <= Hi;
        if not InRange then
          Result := Format(SCvlValidateRange, [Path, FMinValue, FMaxValue]);
      end;
    vrFloatRange:
      begin
        InRange := cvlTextToFloat(Value, F);
        if InRange and (FMinValue <> '') and cvlTextToFloat(FMinValue, FLo) then
          InRange := F >= FLo;
        if InRange and (FMaxValue <> '') and cvlTextToFloat(FMaxValue, FHi) then
          InRange := F <= FHi;
        if not InRange then
          Result := Format(SCvlValidateRange, [Path, FMinValue, FMaxValue]);
      end;
    vrChoice:
      begin
        InRange := False;
        for I := 0 to FChoices.Count - 1 do
          if CompareText(FChoices[I], Value) = 0 then
            InRange := True;
        if not InRange then
          Result := Format(SCvlValidateChoice, [Path, cvlJoin(FChoices, ',')]);
      end;
    vrBoolean:
      if not cvlTextToBool(Value, B) then
        Result := Format(SCvlInvalidBool, [Value, Path]);
    vrDateTime:
      if not cvlTextToDateTime(Value, D) then
        Result := Format(SCvlInvalidDate, [Value, Path]);
  end;
end;

{ TcvlValidationRules }

constructor TcvlValidationRules.Create(AOwner: TPersistent);
begin
  inherited Create(TcvlValidationRule);
  FOwner := AOwner;
end;

function TcvlValidationRules.GetOwner: TPersistent;
begin
  Result := FOwner;
end;

function TcvlValidationRules.Add: TcvlValidationRule;
begin
  Result := TcvlValidationRule(inherited Add);
end;

function TcvlValidationRules.GetItem(Index: Integer): TcvlValidationRule;
begin
  Result := TcvlValidationRule(inherited Items[Index]);
end;

{ TcvlValidators }

constructor TcvlValidators.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FRules := TcvlValidationRules.Create(Self);
  FRaiseErrors := True;
end;

destructor TcvlValidators.Destroy;
begin
  SetStorage(nil);
  FRules.Free;
  inherited Destroy;
end;

procedure TcvlValidators.SetRules(Value: TcvlValidationRules);
begin
  FRules.Assign(Value);
end;

procedure TcvlValidators.SetStorage(Value: TcvlCustomStorage);
begin
  if FStorage = Value then
    Exit;
  { Give the previous storage its own handler back. }
  if (FStorage <> nil) and not (csDesigning in ComponentState) then
    FStorage.OnWriteValue := FOldWriteValue;
  FStorage := Value;
  FOldWriteValue := nil;
  if FStorage <> nil then
  begin
    FStorage.FreeNotification(Self);
    if not (csDesigning in ComponentState) then
    begin
      FOldWriteValue := FStorage.OnWriteValue;
      FStorage.OnWriteValue := StorageWriteValue;
    end;
  end;
end;

procedure TcvlValidators.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if (Operation = opRemove) and (AComponent = FStorage) then
  begin
    FStorage := nil;
    FOldWriteValue := nil;
  end;
end;

function TcvlValidators.Validate(const Section, Key, Value: string): string;
var
  I: Integer;
  Path: string;
begin
  Result := '';
  Path := cvlJoinSection(Section, Key);
  for I := 0 to FRules.Count - 1 do
    if FRules[I].Matches(Path) then
    begin
      Result := FRules[I].Check(Path, Value);
      if Result <> '' then
        Exit;
    end;
end;

procedure TcvlValidators.StorageWriteValue(Sender: TObject;
  const Section, Key: string; var Value: string; var Allow: Boolean);
var
  Msg: string;
begin
  if Assigned(FOldWriteValue) then
    FOldWriteValue(Sender, Section, Key, Value, Allow);
  if not Allow then
    Exit;
  Msg := Validate(Section, Key, Value);
  if Msg = '' then
    Exit;
  if FRaiseErrors then
    raise EcvlValidateError.Create(Msg);
  Allow := False;
end;

end.
