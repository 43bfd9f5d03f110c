object ChildForm: TChildForm
  Left = 420
  Top = 260
  Width = 320
  Height = 240
  Caption = #1044#1086#1095#1077#1088#1085#1077#1077' '#1086#1082#1085#1086
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  OnClose = FormClose
  PixelsPerInch = 96
  TextHeight = 13
  object TextMemo: TMemo
    Left = 0
    Top = 0
    Width = 312
    Height = 213
    Align = alClient
    Lines.Strings = (
      #1056#1072#1079#1084#1077#1088' '#1080' '#1087#1086#1083#1086#1078#1077#1085#1080#1077' '#1101#1090#1086#1075#1086' '#1086#1082#1085#1072
      #1090#1086#1078#1077' '#1079#1072#1087#1086#1084#1080#1085#1072#1102#1090#1089#1103'.')
    TabOrder = 0
  end
  object Placement: TcvlFormPlacement
    Left = 264
    Top = 160
  end
end
