// unbrd.exe: the uninstaller of Corvane library, started by the Windows uninstall
// entry with the path of the uninstall log as its argument.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return 0;
}
