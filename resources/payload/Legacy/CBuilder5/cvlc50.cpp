//---------------------------------------------------------------------------
// Corvane library 4.07, runtime package for C++Builder 5.
// Not built by the setup program: kept for users who build it themselves
// (make -f cvlc50.mak in this folder, or open cvlc50.bpk in the IDE).
//---------------------------------------------------------------------------
#include <vcl.h>
#pragma hdrstop
USERES("cvlc50.res");
USEPACKAGE("vcl50.bpi");
USEUNIT("..\\..\\Source\\cvlConsts.pas");
USEUNIT("..\\..\\Source\\cvlTypes.pas");
USEUNIT("..\\..\\Source\\cvlUtils.pas");
USEUNIT("..\\..\\Source\\cvlStrUtils.pas");
USEUNIT("..\\..\\Source\\cvlStorage.pas");
USEUNIT("..\\..\\Source\\cvlIniStorage.pas");
USEUNIT("..\\..\\Source\\cvlRegStorage.pas");
USEUNIT("..\\..\\Source\\cvlXmlStorage.pas");
USEUNIT("..\\..\\Source\\cvlMemStorage.pas");
USEUNIT("..\\..\\Source\\cvlCrypt.pas");
USEUNIT("..\\..\\Source\\cvlStreams.pas");
USEUNIT("..\\..\\Source\\cvlSections.pas");
USEUNIT("..\\..\\Source\\cvlProfiles.pas");
USEUNIT("..\\..\\Source\\cvlTemplates.pas");
USEUNIT("..\\..\\Source\\cvlFormPlacement.pas");
USEUNIT("..\\..\\Source\\cvlPropStorage.pas");
USEUNIT("..\\..\\Source\\cvlMRUList.pas");
USEUNIT("..\\..\\Source\\cvlCmdLine.pas");
USEUNIT("..\\..\\Source\\cvlEnvironment.pas");
USEUNIT("..\\..\\Source\\cvlAppSettings.pas");
USEUNIT("..\\..\\Source\\cvlAbout.pas");
USEUNIT("..\\..\\Source\\cvlVersion.pas");
USEUNIT("..\\..\\Source\\cvlValidators.pas");
USERES("..\\..\\Source\\cvl.res");
//---------------------------------------------------------------------------
#pragma package(smart_init)
//---------------------------------------------------------------------------
//   Package source.
//---------------------------------------------------------------------------

#pragma argsused
int WINAPI DllEntryPoint(HINSTANCE hinst, unsigned long reason, void*)
{
        return 1;
}
//---------------------------------------------------------------------------
