// setup.exe: installs Corvane library into Delphi, C++Builder and RAD Studio.
#include <windows.h>

#include "setup/UMain.h"
#include "support/UPlatform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchPath();
    ParseCommandLine();
    return RunSetup();
}
