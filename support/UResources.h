// The payload: resources of type CVLIB in the program's own file, and the digest
// table (resource 1 of type CVLSUMS) that the build records beside them: for each
// payload resource its id, size and CRC-32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes resource ResId to FileName, whole or not at all; 0 or a Windows error code.
int SaveResourceToFile(int ResId, const std::wstring& FileName);

// CRC-32 (the polynomial of zip and PNG) of Size bytes, continuing from Crc.
uint32_t Crc32(const void* Data, size_t Size, uint32_t Crc = 0);

// 0 when every payload resource the digest table names is there with the size and
// CRC-32 the build recorded; else the id of the first that is not, or -1 when the
// table itself is missing or damaged. Reads every resource once; writes nothing.
int FirstDamagedPayloadResource();

// The user's words for a program whose payload is damaged.
inline constexpr const wchar_t* DamagedSetupText = L"The setup program is damaged. Please download it again.";
