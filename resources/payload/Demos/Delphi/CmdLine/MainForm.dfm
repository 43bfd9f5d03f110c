object MainForm: TMainForm
  Left = 240
  Top = 160
  Width = 420
  Height = 320
  Caption = 'Corvane library - '#1082#1086#1084#1072#1085#1076#1085#1072#1103' '#1089#1090#1088#1086#1082#1072
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object ArgsLabel: TLabel
    Left = 8
    Top = 8
    Width = 117
    Height = 13
    Caption = #1055#1072#1088#1072#1084#1077#1090#1088#1099' '#1087#1088#1086#1075#1088#1072#1084#1084#1099':'
  end
  object ValuesLabel: TLabel
    Left = 8
    Top = 128
    Width = 63
    Height = 13
    Caption = #1056#1077#1079#1091#1083#1100#1090#1072#1090':'
  end
  object ArgsMemo: TMemo
    Left = 8
    Top = 24
    Width = 393
    Height = 97
    ReadOnly = True
    TabOrder = 0
  end
  object ValuesMemo: TMemo
    Left = 8
    Top = 144
    Width = 393
    Height = 137
    ReadOnly = True
    TabOrder = 1
  end
  object Settings: TcvlAppSettings
    StorageKind = skIniFile
    CompanyName = 'Brindlecraft'
    ApplicationName = 'CmdLineDemo'
    FirstRunTemplate = 'Standard window'
    Left = 360
    Top = 8
  end
end
