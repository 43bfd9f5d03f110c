object MainForm: TMainForm
  Left = 240
  Top = 160
  BorderStyle = bsSingle
  Caption = 'Corvane library - '#1085#1072#1089#1090#1088#1086#1081#1082#1080' '#1074' INI-'#1092#1072#1081#1083#1077
  ClientHeight = 353
  ClientWidth = 561
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object UserGroup: TGroupBox
    Left = 8
    Top = 8
    Width = 257
    Height = 297
    Caption = ' '#1055#1086#1083#1100#1079#1086#1074#1072#1090#1077#1083#1100' '
    TabOrder = 0
    object NameLabel: TLabel
      Left = 12
      Top = 24
      Width = 25
      Height = 13
      Caption = #1048#1084#1103':'
    end
    object EmailLabel: TLabel
      Left = 12
      Top = 64
      Width = 100
      Height = 13
      Caption = #1069#1083#1077#1082#1090#1088#1086#1085#1085#1072#1103' '#1087#1086#1095#1090#1072':'
    end
    object AgeLabel: TLabel
      Left = 12
      Top = 104
      Width = 48
      Height = 13
      Caption = #1042#1086#1079#1088#1072#1089#1090':'
    end
    object NotesLabel: TLabel
      Left = 12
      Top = 172
      Width = 60
      Height = 13
      Caption = #1047#1072#1084#1077#1090#1082#1080':'
    end
    object NameEdit: TEdit
      Left = 12
      Top = 40
      Width = 233
      Height = 21
      TabOrder = 0
    end
    object EmailEdit: TEdit
      Left = 12
      Top = 80
      Width = 233
      Height = 21
      TabOrder = 1
    end
    object AgeEdit: TEdit
      Left = 12
      Top = 120
      Width = 57
      Height = 21
      TabOrder = 2
    end
    object SubscribeCheck: TCheckBox
      Left = 12
      Top = 150
      Width = 233
      Height = 17
      Caption = #1055#1086#1083#1091#1095#1072#1090#1100' '#1085#1086#1074#1086#1089#1090#1080
      TabOrder = 3
    end
    object NotesMemo: TMemo
      Left = 12
      Top = 188
      Width = 233
      Height = 97
      ScrollBars = ssVertical
      TabOrder = 4
    end
  end
  object SaveButton: TButton
    Left = 8
    Top = 318
    Width = 81
    Height = 25
    Caption = #1057#1086#1093#1088#1072#1085#1080#1090#1100
    TabOrder = 1
    OnClick = SaveButtonClick
  end
  object LoadButton: TButton
    Left = 96
    Top = 318
    Width = 81
    Height = 25
    Caption = #1047#1072#1075#1088#1091#1079#1080#1090#1100
    TabOrder = 2
    OnClick = LoadButtonClick
  end
  object ShowFileButton: TButton
    Left = 184
    Top = 318
    Width = 81
    Height = 25
    Caption = #1055#1086#1082#1072#1079#1072#1090#1100' '#1092#1072#1081#1083
    TabOrder = 3
    OnClick = ShowFileButtonClick
  end
  object FileMemo: TMemo
    Left = 272
    Top = 14
    Width = 281
    Height = 329
    Font.Charset = RUSSIAN_CHARSET
    Font.Color = clWindowText
    Font.Height = -12
    Font.Name = 'Courier New'
    Font.Style = []
    ParentFont = False
    ReadOnly = True
    ScrollBars = ssBoth
    TabOrder = 4
    WordWrap = False
  end
  object Storage: TcvlIniStorage
    Options = [soAutoCreate]
    Left = 224
    Top = 312
  end
end
