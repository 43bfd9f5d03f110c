// setup.exe: installs Corvane library into Delphi, C++Builder and RAD Studio.
#include <windows.h>

#include "setup/UMain.h"
#include "support/UUtils.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchPath();
    ParseCommandLine();
    return RunSetup();
}
