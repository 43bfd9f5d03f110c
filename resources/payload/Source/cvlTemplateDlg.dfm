object cvlTemplateDialog: TcvlTemplateDialog
  Left = 300
  Top = 180
  BorderStyle = bsDialog
  Caption = 'Settings templates'
  ClientHeight = 321
  ClientWidth = 513
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object DescriptionLabel: TLabel
    Left = 176
    Top = 8
    Width = 329
    Height = 33
    AutoSize = False
    WordWrap = True
  end
  object FileLabel: TLabel
    Left = 8
    Top = 292
    Width = 313
    Height = 13
    AutoSize = False
    ShowAccelChar = False
  end
  object TemplateList: TListBox
    Left = 8
    Top = 8
    Width = 161
    Height = 273
    ItemHeight = 13
    Sorted = True
    TabOrder = 0
    OnClick = TemplateListClick
  end
  object Values: TValueListEditor
    Left = 176
    Top = 48
    Width = 329
    Height = 233
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goThumbTracking]
    TabOrder = 1
    TitleCaptions.Strings = (
      'Setting'
      'Value')
    ColWidths = (
      150
      173)
  end
  object OKButton: TButton
    Left = 342
    Top = 288
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object CancelButton: TButton
    Left = 430
    Top = 288
    Width = 75
    Height = 25
    Cancel = True
    Caption = 'Cancel'
    ModalResult = 2
    TabOrder = 3
  end
end
