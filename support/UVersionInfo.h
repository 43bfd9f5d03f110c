// The product version in a file's version resource.
#pragma once

#include <cstdint>
#include <string>

bool GetProductVersion(const std::wstring& FileName, uint32_t& VersionMS, uint32_t& VersionLS);
