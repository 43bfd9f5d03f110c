{*******************************************************}
{                                                       }
{       Corvane library                                 }
{       Registration of the components                  }
{                                                       }
{       Copyright (c) Brindlecraft                      }
{                                                       }
{*******************************************************}

unit cvlReg;

{$I cvl.inc}

{ The palette bitmaps are in cvlReg.dcr, which the design-time package
  project links. }

interface

procedure Register;

implementation

uses
  Classes,
  {$IFDEF CVL_D6UP} DesignIntf, DesignEditors, {$ELSE} DsgnIntf, {$ENDIF}
  cvlConsts, cvlStorage, cvlMemStorage, cvlIniStorage, cvlRegStorage,
  cvlXmlStorage, cvlCrypt, cvlProfiles, cvlTemplates, cvlFormPlacement,
  cvlPropStorage, cvlMRUList, cvlCmdLine, cvlAppSettings, cvlValidators,
  cvlPropEditors;

procedure Register;
begin
  RegisterComponents(cvlPalettePage, [
    TcvlIniStorage, TcvlRegStorage, TcvlXmlStorage, TcvlMemStorage,
    TcvlCrypt, TcvlProfiles, TcvlTemplates, TcvlFormPlacement,
    TcvlPropStorage, TcvlMRUList, TcvlCommandLine, TcvlAppSettings,
    TcvlValidators]);

  RegisterPropertyEditor(TypeInfo(string), TcvlCustomStorage, 'About',
    TcvlAboutProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlIniStorage, 'FileName',
    TcvlIniFileNameProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlXmlStorage, 'FileName',
    TcvlXmlFileNameProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlTemplates, 'FileName',
    TcvlIniFileNameProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlAppSettings, 'FileName',
    TcvlIniFileNameProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlMRUList, 'Section',
    TcvlSectionProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlPropStorage, 'Section',
    TcvlSectionProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlFormPlacement, 'Section',
    TcvlSectionProperty);
  RegisterPropertyEditor(TypeInfo(string), TcvlAppSettings, 'FirstRunTemplate',
    TcvlTemplateNameProperty);

  RegisterComponentEditor(TcvlCustomStorage, TcvlStorageEditor);
{$IFDEF CVL_D6UP}
  RegisterComponentEditor(TcvlTemplates, TcvlTemplatesEditor);
{$ENDIF}
end;

end.
