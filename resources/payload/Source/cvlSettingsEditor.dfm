object cvlSettingsEditorForm: TcvlSettingsEditorForm
  Left = 262
  Top = 157
  Width = 560
  Height = 380
  BorderIcons = [biSystemMenu, biMaximize]
  Caption = 'Settings'
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
  object Splitter: TSplitter
    Left = 185
    Top = 0
    Width = 3
    Height = 312
    Cursor = crHSplit
  end
  object SectionTree: TTreeView
    Left = 0
    Top = 0
    Width = 185
    Height = 312
    Align = alLeft
    HideSelection = False
    Indent = 19
    ReadOnly = True
    TabOrder = 0
    OnChange = SectionTreeChange
  end
  object ValueList: TListView
    Left = 188
    Top = 0
    Width = 364
    Height = 312
    Align = alClient
    Columns = <
      item
        Caption = 'Name'
        Width = 140
      end
      item
        Caption = 'Value'
        Width = 200
      end>
    HideSelection = False
    ReadOnly = True
    RowSelect = True
    TabOrder = 1
    ViewStyle = vsReport
    OnDblClick = ValueListDblClick
  end
  object ButtonPanel: TPanel
    Left = 0
    Top = 312
    Width = 552
    Height = 41
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 2
    object AddSectionButton: TButton
      Left = 8
      Top = 8
      Width = 89
      Height = 25
      Caption = 'New &section...'
      TabOrder = 0
      OnClick = AddSectionButtonClick
    end
    object AddValueButton: TButton
      Left = 104
      Top = 8
      Width = 81
      Height = 25
      Caption = '&New value...'
      TabOrder = 1
      OnClick = AddValueButtonClick
    end
    object EditValueButton: TButton
      Left = 192
      Top = 8
      Width = 75
      Height = 25
      Caption = '&Edit...'
      TabOrder = 2
      OnClick = EditValueButtonClick
    end
    object DeleteButton: TButton
      Left = 274
      Top = 8
      Width = 75
      Height = 25
      Caption = '&Delete'
      TabOrder = 3
      OnClick = DeleteButtonClick
    end
    object CloseButton: TButton
      Left = 468
      Top = 8
      Width = 75
      Height = 25
      Cancel = True
      Caption = 'Close'
      Default = True
      ModalResult = 1
      TabOrder = 4
    end
  end
end
