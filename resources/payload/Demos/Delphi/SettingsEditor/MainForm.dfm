object MainForm: TMainForm
  Left = 260
  Top = 180
  BorderStyle = bsSingle
  Caption = 'Corvane library - '#1088#1077#1076#1072#1082#1090#1086#1088' '#1085#1072#1089#1090#1088#1086#1077#1082
  ClientHeight = 137
  ClientWidth = 393
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
  object TemplateLabel: TLabel
    Left = 8
    Top = 8
    Width = 43
    Height = 13
    Caption = #1064#1072#1073#1083#1086#1085':'
  end
  object FontSizeLabel: TLabel
    Left = 8
    Top = 72
    Width = 125
    Height = 13
    Caption = #1056#1072#1079#1084#1077#1088' '#1096#1088#1080#1092#1090#1072' (6..72):'
  end
  object TemplateCombo: TComboBox
    Left = 8
    Top = 24
    Width = 201
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    TabOrder = 0
  end
  object ApplyButton: TButton
    Left = 216
    Top = 22
    Width = 81
    Height = 25
    Caption = #1055#1088#1080#1084#1077#1085#1080#1090#1100
    TabOrder = 1
    OnClick = ApplyButtonClick
  end
  object EditButton: TButton
    Left = 304
    Top = 22
    Width = 81
    Height = 25
    Caption = #1056#1077#1076#1072#1082#1090#1086#1088'...'
    TabOrder = 2
    OnClick = EditButtonClick
  end
  object FontSizeEdit: TEdit
    Left = 8
    Top = 88
    Width = 65
    Height = 21
    TabOrder = 3
    Text = '12'
  end
  object WriteSizeButton: TButton
    Left = 80
    Top = 86
    Width = 81
    Height = 25
    Caption = #1047#1072#1087#1080#1089#1072#1090#1100
    TabOrder = 4
    OnClick = WriteSizeButtonClick
  end
  object Storage: TcvlIniStorage
    Left = 232
    Top = 80
  end
  object Templates: TcvlTemplates
    Left = 264
    Top = 80
  end
  object Validators: TcvlValidators
    Rules = <
      item
        Key = 'Editor\FontSize'
        Kind = vrIntegerRange
        MinValue = '6'
        MaxValue = '72'
      end>
    Storage = Storage
    Left = 296
    Top = 80
  end
end
