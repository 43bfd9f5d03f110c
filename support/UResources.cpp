#include "support/UResources.h"

#include "support/UJournal.h"
#include "support/WinHandles.h"

using brd::UniqueFile;

int SaveResourceToFile(int ResId, const std::wstring& FileName) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(ResId), L"CVLIB");
    if (!info) return static_cast<int>(GetLastError());
    DWORD size = SizeofResource(nullptr, info);
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data && size > 0) return static_cast<int>(GetLastError());
    if (!KeepFileBeforeChange(FileName)) return ERROR_WRITE_FAULT;
    UniqueFile file(CreateFileW(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return static_cast<int>(GetLastError());
    DWORD written = 0;
    int result = 0;
    if (!WriteFile(file.get(), data, size, &written, nullptr) || written != size)
        result = static_cast<int>(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    if (!file.reset() && result == 0) result = static_cast<int>(GetLastError());
    return result;
}
