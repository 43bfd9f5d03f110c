object MainForm: TMainForm
  Left = 260
  Top = 180
  BorderStyle = bsSingle
  Caption = 'Corvane library - '#1087#1088#1086#1092#1080#1083#1080
  ClientHeight = 233
  ClientWidth = 401
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  TextHeight = 13
  object ProfileLabel: TLabel
    Left = 8
    Top = 12
    Width = 46
    Height = 13
    Caption = #1055#1088#1086#1092#1080#1083#1100':'
  end
  object ProfileCombo: TComboBox
    Left = 64
    Top = 8
    Width = 161
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    TabOrder = 0
    OnChange = ProfileComboChange
  end
  object NewButton: TButton
    Left = 232
    Top = 6
    Width = 75
    Height = 25
    Caption = #1053#1086#1074#1099#1081'...'
    TabOrder = 1
    OnClick = NewButtonClick
  end
  object DeleteButton: TButton
    Left = 316
    Top = 6
    Width = 75
    Height = 25
    Caption = #1059#1076#1072#1083#1080#1090#1100
    TabOrder = 2
    OnClick = DeleteButtonClick
  end
  object SamplePanel: TPanel
    Left = 8
    Top = 40
    Width = 385
    Height = 121
    TabOrder = 3
  end
  object ColorButton: TButton
    Left = 8
    Top = 172
    Width = 97
    Height = 25
    Caption = #1062#1074#1077#1090'...'
    TabOrder = 4
    OnClick = ColorButtonClick
  end
  object TextEdit: TEdit
    Left = 112
    Top = 174
    Width = 281
    Height = 21
    TabOrder = 5
  end
  object Storage: TcvlIniStorage
    Left = 16
    Top = 200
  end
  object Profiles: TcvlProfiles
    Storage = Storage
    Section = 'Profiles'
    DefaultProfile = 'Default'
    Left = 48
    Top = 200
  end
  object ColorDialog: TColorDialog
    Left = 80
    Top = 200
  end
end
