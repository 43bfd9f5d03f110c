#include "support/UConst.h"

bool CopyOnly = false;
bool EnableControls = false;
bool ShowHelp = false;
bool ExtractFiles = false;

void ResetSwitchFlags() { CopyOnly = EnableControls = ShowHelp = ExtractFiles = false; }
