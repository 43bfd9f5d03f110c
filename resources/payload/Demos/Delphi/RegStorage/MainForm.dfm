object MainForm: TMainForm
  Left = 250
  Top = 170
  BorderStyle = bsSingle
  Caption = 'Corvane library - '#1085#1072#1089#1090#1088#1086#1081#1082#1080' '#1074' '#1088#1077#1077#1089#1090#1088#1077
  ClientHeight = 305
  ClientWidth = 497
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
  object KeyLabel: TLabel
    Left = 8
    Top = 8
    Width = 481
    Height = 13
    AutoSize = False
    ShowAccelChar = False
  end
  object SectionLabel: TLabel
    Left = 8
    Top = 32
    Width = 40
    Height = 13
    Caption = #1056#1072#1079#1076#1077#1083':'
  end
  object NameLabel: TLabel
    Left = 8
    Top = 72
    Width = 57
    Height = 13
    Caption = #1055#1072#1088#1072#1084#1077#1090#1088':'
  end
  object ValueLabel: TLabel
    Left = 8
    Top = 112
    Width = 51
    Height = 13
    Caption = #1047#1085#1072#1095#1077#1085#1080#1077':'
  end
  object SectionEdit: TEdit
    Left = 8
    Top = 48
    Width = 177
    Height = 21
    TabOrder = 0
    Text = 'Options'
  end
  object NameEdit: TEdit
    Left = 8
    Top = 88
    Width = 177
    Height = 21
    TabOrder = 1
    Text = 'Color'
  end
  object ValueEdit: TEdit
    Left = 8
    Top = 128
    Width = 177
    Height = 21
    TabOrder = 2
    Text = #1057#1080#1085#1080#1081
  end
  object WriteButton: TButton
    Left = 8
    Top = 160
    Width = 85
    Height = 25
    Caption = #1047#1072#1087#1080#1089#1072#1090#1100
    TabOrder = 3
    OnClick = WriteButtonClick
  end
  object ReadButton: TButton
    Left = 100
    Top = 160
    Width = 85
    Height = 25
    Caption = #1055#1088#1086#1095#1080#1090#1072#1090#1100
    TabOrder = 4
    OnClick = ReadButtonClick
  end
  object DeleteButton: TButton
    Left = 8
    Top = 192
    Width = 85
    Height = 25
    Caption = #1059#1076#1072#1083#1080#1090#1100
    TabOrder = 5
    OnClick = DeleteButtonClick
  end
  object EraseButton: TButton
    Left = 100
    Top = 192
    Width = 85
    Height = 25
    Caption = #1054#1095#1080#1089#1090#1080#1090#1100' '#1088#1072#1079#1076#1077#1083
    TabOrder = 6
    OnClick = EraseButtonClick
  end
  object ValuesView: TListView
    Left = 200
    Top = 32
    Width = 289
    Height = 265
    Columns = <
      item
        Caption = #1055#1072#1088#1072#1084#1077#1090#1088
        Width = 120
      end
      item
        Caption = #1047#1085#1072#1095#1077#1085#1080#1077
        Width = 160
      end>
    ReadOnly = True
    RowSelect = True
    TabOrder = 7
    ViewStyle = vsReport
  end
  object Storage: TcvlRegStorage
    Path = 'Software\Brindlecraft\RegDemo'
    CompanyName = 'Brindlecraft'
    Left = 152
    Top = 240
  end
end
