{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Most recently used lists                        }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlMRUList;

{$I cvl.inc}

{ A list of recently used items (files, search texts) with the newest first,
  at most MaxItems long, kept in a storage. Adding an item that is already
  in the list moves it to the top; file names are compared without regard
  to letter case. The list saves itself when it changes if AutoSave is on. }

interface

uses
  SysUtils, Classes, cvlConsts, cvlTypes, cvlUtils, cvlStorage;

const
  cvlDefaultMRUMax = 8;

type
  TcvlMRUList = class(TComponent)
  private
    FItems: TStringList;
    FMaxItems: Integer;
    FStorage: TcvlCustomStorage;
    FSection: string;
    FAutoSave: Boolean;
    FCaseSensitive: Boolean;
    FOnChange: TNotifyEvent;
    procedure SetMaxItems(Value: Integer);
    procedure SetStorage(Value: TcvlCustomStorage);
    function GetCount: Integer;
    function GetItem(Index: Integer): string;
    procedure Truncate;
    procedure Changed;
  protected
    procedure Notification(AComponent: TComponent; Operation: TOperation); override;
    procedure Loaded; override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure Add(const Item: string);
    function IndexOf(const Item: string): Integer;
    procedure Remove(const Item: string);
    procedure Clear;
    procedure Load;
    procedure Save;
    { Menu captions: '&1 C:\Data\Report.txt', long paths shortened in the
      middle to MaxLength characters. }
    function Caption(Index: Integer; MaxLength: Integer): string;
    property Count: Integer read GetCount;
    property Items[Index: Integer]: string read GetItem; default;
  published
    property MaxItems: Integer read FMaxItems write SetMaxItems default cvlDefaultMRUMax;
    property Storage: TcvlCustomStorage read FStorage write SetStorage;
    property Section: string read FSection write FSection;
    property AutoSave: Boolean read FAutoSave write FAutoSave default True;
    property CaseSensitive: Boolean read FCaseSensitive write FCaseSensitive default False;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

function cvlShortenPath(const Path: string; MaxLength: Integer): string;

implementation

function cvlShortenPath(const Path: string; MaxLength: Integer): string;
var
  Head, Tail: string;
  P: Integer;
begin
  Result := Path;
  if (MaxLength <= 0) or (Length(Path) <= MaxLength) then
    Exit;
  { Keep the drive or share and the file name: C:\...\Report.txt }
  Tail := ExtractFileName(Path);
  P := Pos('\', Copy(Path, 4, MaxInt));
  if P > 0 then
    Head := Copy(Path, 1, P + 3)
  else
    Head := '';
  Result := Head + '...\' + Tail;
  if Length(Result) > MaxLength then
    Result := '...\' + Tail;
end;

constructor TcvlMRUList.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FItems := TStringList.Create;
  FMaxItems := cvlDefaultMRUMax;
  FSection := cvlMRUSection;
  FAutoSave := True;
end;

destructor TcvlMRUList.Destroy;
begin
  FItems.Free;
  inherited Destroy;
end;

procedure TcvlMRUList.Loaded;
begin
  inherited Loaded;
  if not (csDesigning in ComponentState) and (FStorage <> nil) then
    Load;
end;

procedure TcvlMRUList.SetStorage(Value: TcvlCustomStorage);
begin
  if FStorage <> Value then
  begin
    FStorage := Value;
    if Value <> nil then
      Value.FreeNotification(Self);
  end;
end;

procedure TcvlMRUList.Notification(AComponent: TComponent; Operation: TOperation);
begin
  inherited Notification(AComponent, Operation);
  if (Operation = opRemove) and (AComponent = FStorage) then
    FStorage := nil;
end;

procedure TcvlMRUList.SetMaxItems(Value: Integer);
begin
  if Value < 1 then
    Value := 1;
  if Value <> FMaxItems then
  begin
    FMaxItems := Value;
    if FItems.Count > FMaxItems then
    begin
      Truncate;
      Changed;
    end;
  end;
end;

function TcvlMRUList.GetCount: Integer;
begin
  Result := FItems.Count;
end;

function TcvlMRUList.GetItem(Index: Integer): string;
begin
  Result := FItems[Index];
end;

procedure TcvlMRUList.Truncate;
begin
  while FItems.Count > FMaxItems do
    FItems.Delete(FItems.Count - 1);
end;

procedure TcvlMRUList.Changed;
begin
  if FAutoSave and (FStorage <> nil) and
    not (csDesigning in ComponentState) and not cvlIsReadOnly(FStorage) then
    Save;
  if Assigned(FOnChange) then
    FOnChange(Self);
end;

function TcvlMRUList.IndexOf(const Item: string): Integer;
var
  I: Integer;
begin
  Result := -1;
  for I := 0 to FItems.Count - 1 do
    if (FCaseSensitive and (FItems[I] = Item)) or
      (not FCaseSensitive and (AnsiCompareText(FItems[I], Item) = 0)) then
    begin
      Result := I;
      Exit;
    end;
end;

procedure TcvlMRUList.Add(const Item: string);
var
  I: Integer;
begin
  if Trim(Item) = '' then
    Exit;
  I := IndexOf(Item);
  if I = 0 then
  begin
    FItems[0] := Item;  { the newest spelling wins }
    Exit;
  end;
  if I > 0 then
    FItems.Delete(I);
  FItems.Insert(0, Item);
  Truncate;
  Changed;
end;

procedure TcvlMRUList.Remove(const Item: string);
var
  I: Integer;
begin
  I := IndexOf(Item);
  if I >= 0 then
  begin
    FItems.Delete(I);
    Changed;
  end;
end;

procedure TcvlMRUList.Clear;
begin
  if FItems.Count > 0 then
  begin
    FItems.Clear;
    Changed;
  end;
end;

procedure TcvlMRUList.Load;
var
  List: TStringList;
  I: Integer;
begin
  if FStorage = nil then
    raise EcvlStorageError.CreateFmt(SCvlNoStorage, [Name]);
  List := TStringList.Create;
  try
    FStorage.ReadStrings(FSection, List);
    FItems.Clear;
    for I := 0 to List.Count - 1 do
      if (Trim(List[I]) <> '') and (IndexOf(List[I]) < 0) then
        FItems.Add(List[I]);
    Truncate;
  finally
    List.Free;
  end;
  if Assigned(FOnChange) then
    FOnChange(Self);
end;

procedure TcvlMRUList.Save;
begin
  if FStorage = nil then
    raise EcvlStorageError.CreateFmt(SCvlNoStorage, [Name]);
  FStorage.WriteStrings(FSection, FItems);
end;

function TcvlMRUList.Caption(Index: Integer; MaxLength: Integer): string;
var
  Prefix: string;
begin
  if Index < 9 then
    Prefix := '&' + IntToStr(Index + 1)
  else if Index = 9 then
    Prefix := '1&0'
  else
    Prefix := IntToStr(Index + 1);
  Result := Prefix + ' ' + cvlShortenPath(FItems[Index], MaxLength);
end;

end.
