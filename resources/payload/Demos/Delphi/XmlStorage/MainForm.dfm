object MainForm: TMainForm
  Left = 230
  Top = 150
  BorderStyle = bsSingle
  Caption = 'Corvane library - '#1085#1072#1089#1090#1088#1086#1081#1082#1080' '#1074' XML-'#1092#1072#1081#1083#1077
  ClientHeight = 321
  ClientWidth = 585
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
  object FontGroup: TGroupBox
    Left = 8
    Top = 8
    Width = 209
    Height = 153
    Caption = ' '#1064#1088#1080#1092#1090' '
    TabOrder = 0
    object FontNameLabel: TLabel
      Left = 12
      Top = 24
      Width = 53
      Height = 13
      Caption = #1053#1072#1079#1074#1072#1085#1080#1077':'
    end
    object FontSizeLabel: TLabel
      Left = 12
      Top = 72
      Width = 42
      Height = 13
      Caption = #1056#1072#1079#1084#1077#1088':'
    end
    object FontNameCombo: TComboBox
      Left = 12
      Top = 40
      Width = 185
      Height = 21
      ItemHeight = 13
      Sorted = True
      TabOrder = 0
    end
    object FontSizeEdit: TEdit
      Left = 12
      Top = 88
      Width = 49
      Height = 21
      TabOrder = 1
      Text = '10'
    end
    object FontSizeUpDown: TUpDown
      Left = 61
      Top = 88
      Width = 15
      Height = 21
      Associate = FontSizeEdit
      Min = 6
      Max = 72
      Position = 10
      TabOrder = 2
    end
    object BoldCheck: TCheckBox
      Left = 12
      Top = 120
      Width = 185
      Height = 17
      Caption = #1055#1086#1083#1091#1078#1080#1088#1085#1099#1081
      TabOrder = 3
    end
  end
  object SaveButton: TButton
    Left = 8
    Top = 172
    Width = 101
    Height = 25
    Caption = #1057#1086#1093#1088#1072#1085#1080#1090#1100
    TabOrder = 1
    OnClick = SaveButtonClick
  end
  object ExportButton: TButton
    Left = 116
    Top = 172
    Width = 101
    Height = 25
    Caption = #1069#1082#1089#1087#1086#1088#1090' '#1074' INI'
    TabOrder = 2
    OnClick = ExportButtonClick
  end
  object XmlMemo: TMemo
    Left = 224
    Top = 14
    Width = 353
    Height = 299
    Font.Charset = RUSSIAN_CHARSET
    Font.Color = clWindowText
    Font.Height = -12
    Font.Name = 'Courier New'
    Font.Style = []
    ParentFont = False
    ReadOnly = True
    ScrollBars = ssBoth
    TabOrder = 3
    WordWrap = False
  end
  object XmlStorage: TcvlXmlStorage
    Left = 16
    Top = 272
  end
  object IniStorage: TcvlIniStorage
    Left = 56
    Top = 272
  end
end
