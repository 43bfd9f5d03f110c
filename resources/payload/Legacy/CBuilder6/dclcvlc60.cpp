//---------------------------------------------------------------------------
// Corvane library 4.07, design-time package for C++Builder 6.
// Not built by the setup program: kept for users who build it themselves
// (make -f dclcvlc60.mak in this folder, or open dclcvlc60.bpk in the IDE).
//---------------------------------------------------------------------------
#include <vcl.h>
#pragma hdrstop
USERES("dclcvlc60.res");
USEPACKAGE("designide.bpi");
USEPACKAGE("cvlc60.bpi");
USEUNIT("..\\..\\Source\\cvlReg.pas");
USEUNIT("..\\..\\Source\\cvlPropEditors.pas");
USEUNIT("..\\..\\Source\\cvlSettingsEditor.pas");
USERES("..\\..\\Source\\cvlReg.dcr");
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
