object ProfileDialog: TProfileDialog
  Left = 300
  Top = 220
  BorderStyle = bsDialog
  Caption = #1053#1086#1074#1099#1081' '#1087#1088#1086#1092#1080#1083#1100
  ClientHeight = 113
  ClientWidth = 281
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poOwnerFormCenter
  PixelsPerInch = 96
  TextHeight = 13
  object NameLabel: TLabel
    Left = 8
    Top = 8
    Width = 74
    Height = 13
    Caption = #1048#1084#1103' '#1087#1088#1086#1092#1080#1083#1103':'
  end
  object NameEdit: TEdit
    Left = 8
    Top = 24
    Width = 265
    Height = 21
    TabOrder = 0
    OnChange = NameEditChange
  end
  object CopyCheck: TCheckBox
    Left = 8
    Top = 52
    Width = 265
    Height = 17
    Caption = #1057#1082#1086#1087#1080#1088#1086#1074#1072#1090#1100' '#1085#1072#1089#1090#1088#1086#1081#1082#1080' '#1090#1077#1082#1091#1097#1077#1075#1086' '#1087#1088#1086#1092#1080#1083#1103
    Checked = True
    State = cbChecked
    TabOrder = 1
  end
  object OKButton: TButton
    Left = 116
    Top = 80
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object CancelButton: TButton
    Left = 198
    Top = 80
    Width = 75
    Height = 25
    Cancel = True
    Caption = #1054#1090#1084#1077#1085#1072
    ModalResult = 2
    TabOrder = 3
  end
end
