#include "support/UResources.h"

#include <windows.h>

#include <array>

#include "support/UJournal.h"
#include "support/UWholeFile.h"

namespace {

struct TResourceBytes {
    const void* Data = nullptr;
    DWORD Size = 0;
    bool Found = false;
};

TResourceBytes FindResourceBytes(int ResId, const wchar_t* Type) {
    TResourceBytes bytes;
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(ResId), Type);
    if (!info) return bytes;
    bytes.Size = SizeofResource(nullptr, info);
    HGLOBAL loaded = LoadResource(nullptr, info);
    bytes.Data = loaded ? LockResource(loaded) : nullptr;
    bytes.Found = bytes.Data != nullptr || bytes.Size == 0;
    return bytes;
}

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> CrcTable = MakeCrcTable();

uint32_t Word(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

int SaveResourceToFile(int ResId, const std::wstring& FileName) {
    TResourceBytes bytes = FindResourceBytes(ResId, L"CVLIB");
    if (!bytes.Found) return static_cast<int>(GetLastError() ? GetLastError() : ERROR_RESOURCE_DATA_NOT_FOUND);
    if (!KeepFileBeforeChange(FileName)) return ERROR_WRITE_FAULT;
    return WriteWholeFile(FileName, bytes.Data, bytes.Size);
}

uint32_t Crc32(const void* Data, size_t Size, uint32_t Crc) {
    const auto* p = static_cast<const unsigned char*>(Data);
    uint32_t c = ~Crc;
    for (size_t i = 0; i < Size; ++i) c = CrcTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

int FirstDamagedPayloadResource() {
    TResourceBytes table = FindResourceBytes(1, L"CVLSUMS");
    if (!table.Found || table.Size < 4) return -1;
    const auto* words = static_cast<const unsigned char*>(table.Data);
    const uint32_t count = Word(words);
    if (count > (table.Size - 4) / 12 || table.Size != 4 + count * 12) return -1;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = words + 4 + size_t{i} * 12;
        const int id = static_cast<int>(Word(entry));
        TResourceBytes bytes = FindResourceBytes(id, L"CVLIB");
        if (!bytes.Found || bytes.Size != Word(entry + 4) || Crc32(bytes.Data, bytes.Size) != Word(entry + 8))
            return id > 0 ? id : -1;
    }
    return 0;
}
