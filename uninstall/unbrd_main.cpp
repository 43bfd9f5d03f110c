// unbrd.exe: the uninstaller of Corvane library, started by the Windows uninstall
// entry with the path of the uninstall log as its argument.
#include <windows.h>

#include "support/UPlatform.h"
#include "uninstall/UUninstaller.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearchPath();
    return RunUninstaller();
}
