// The payload: resources of type CVLIB in the program's own file.
#pragma once

#include <string>

// Writes resource ResId to FileName, anew; 0 or a Windows error code.
int SaveResourceToFile(int ResId, const std::wstring& FileName);
