object MainForm: TMainForm
  Left = 200
  Top = 120
  Width = 400
  Height = 220
  Caption = 'Corvane library - '#1087#1086#1083#1086#1078#1077#1085#1080#1077' '#1086#1082#1086#1085
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
  object InfoLabel: TLabel
    Left = 16
    Top = 16
    Width = 353
    Height = 57
    AutoSize = False
    Caption = #1055#1077#1088#1077#1076#1074#1080#1085#1100#1090#1077' '#1086#1082#1085#1086', '#1080#1079#1084#1077#1085#1080#1090#1077' '#1077#1075#1086' '#1088#1072#1079#1084#1077#1088' '#1080' '#1079#1072#1082#1088#1086#1081#1090#1077' '#1087#1088#1086#1075#1088#1072#1084#1084#1091'. '#1055#1088#1080' '#1089#1083#1077#1076#1091#1102#1097#1077#1084' '#1079#1072#1087#1091#1089#1082#1077' '#1086#1082#1085#1086' '#1086#1090#1082#1088#1086#1077#1090#1089#1103' '#1085#1072' '#1090#1086#1084' '#1078#1077' '#1084#1077#1089#1090#1077'.'
    WordWrap = True
  end
  object OpenChildButton: TButton
    Left = 16
    Top = 88
    Width = 161
    Height = 25
    Caption = #1054#1090#1082#1088#1099#1090#1100' '#1076#1086#1095#1077#1088#1085#1077#1077' '#1086#1082#1085#1086
    TabOrder = 0
    OnClick = OpenChildButtonClick
  end
  object RememberCheck: TCheckBox
    Left = 16
    Top = 128
    Width = 257
    Height = 17
    Caption = #1069#1090#1086#1090' '#1092#1083#1072#1078#1086#1082' '#1089#1086#1093#1088#1072#1085#1103#1077#1090' TcvlPropStorage'
    TabOrder = 1
  end
  object Storage: TcvlIniStorage
    Left = 304
    Top = 120
  end
  object Placement: TcvlFormPlacement
    Storage = Storage
    Left = 336
    Top = 120
  end
  object Props: TcvlPropStorage
    Storage = Storage
    StoredProps.Strings = (
      'RememberCheck.Checked')
    Left = 272
    Top = 120
  end
end
