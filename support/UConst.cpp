#include "support/UConst.h"

bool CopyOnly = false;
bool EnableControls = false;
bool ShowHelp = false;
bool ExtractFiles = false;

std::wstring InstallDir;
int32_t InstallVersions = 0;
int32_t InstallItems = 0;
int32_t CustomizeItems = DefaultCustomizeItems;
int32_t FilesOnlyVersions = 0;
int32_t CurrentIde = 0;
std::wstring CurrentIdeName;
std::wstring HelpDir;

void ResetInstallState() {
    CopyOnly = EnableControls = ShowHelp = ExtractFiles = false;
    InstallDir.clear();
    InstallVersions = 0;
    InstallItems = 0;
    CustomizeItems = DefaultCustomizeItems;
    FilesOnlyVersions = 0;
    CurrentIde = 0;
    CurrentIdeName.clear();
    HelpDir.clear();
}
