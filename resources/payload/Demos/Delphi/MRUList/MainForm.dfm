object MainForm: TMainForm
  Left = 220
  Top = 140
  Width = 560
  Height = 400
  Caption = 'MRUDemo'
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu
  OldCreateOrder = False
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Editor: TMemo
    Left = 0
    Top = 0
    Width = 552
    Height = 354
    Align = alClient
    ScrollBars = ssBoth
    TabOrder = 0
    WordWrap = False
  end
  object Storage: TcvlRegStorage
    Path = 'Software\Brindlecraft\MRUDemo'
    Left = 24
    Top = 24
  end
  object MRU: TcvlMRUList
    Storage = Storage
    Section = 'Recent'
    OnChange = MRUChange
    Left = 56
    Top = 24
  end
  object MainMenu: TMainMenu
    Left = 88
    Top = 24
    object FileMenu: TMenuItem
      Caption = '&'#1060#1072#1081#1083
      object OpenItem: TMenuItem
        Caption = '&'#1054#1090#1082#1088#1099#1090#1100'...'
        ShortCut = 16463
        OnClick = OpenItemClick
      end
      object RecentSeparator: TMenuItem
        Caption = '-'
      end
      object ClearItem: TMenuItem
        Caption = #1054'&'#1095#1080#1089#1090#1080#1090#1100' '#1089#1087#1080#1089#1086#1082
        OnClick = ClearItemClick
      end
      object ExitSeparator: TMenuItem
        Caption = '-'
      end
      object ExitItem: TMenuItem
        Caption = '&'#1042#1099#1093#1086#1076
        OnClick = ExitItemClick
      end
    end
  end
  object OpenDialog: TOpenDialog
    Filter = #1058#1077#1082#1089#1090#1086#1074#1099#1077' '#1092#1072#1081#1083#1099' (*.txt)|*.txt|'#1042#1089#1077' '#1092#1072#1081#1083#1099' (*.*)|*.*'
    Options = [ofHideReadOnly, ofFileMustExist]
    Left = 120
    Top = 24
  end
end
