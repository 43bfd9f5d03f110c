#include "uninstall/UBinLog.h"

#include "catalogue/UInstallRecord.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/UPaths.h"
#include "support/UProduct.h"
#include "uninstall/UUndoLog.h"

int BinLogOpen(brd::UniqueFile& Log, const std::wstring& Dir) {
    Log.reset();
    CreateDirectoryPath(Dir);
    std::wstring path = PathJoin(Dir, UninstallLogFileName);
    if (!KeepFileBeforeChange(path)) return -1;
    Log.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Log) return -1;
    if (int error = BinLogWrite(Log, std::string(UndoLogMagic, UndoLogMagicSize))) {
        Log.reset();
        DeleteFileW(path.c_str());  // an empty log is no log: nothing has been recorded
        SetLastError(static_cast<DWORD>(error));
        return -1;
    }
    return 0;
}

int BinLogWrite(const brd::UniqueFile& Log, const std::string& Bytes) {
    if (!Log) return ERROR_INVALID_HANDLE;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(Log.get(), LARGE_INTEGER{}, &start, FILE_END)) return static_cast<int>(GetLastError());
    DWORD written = 0;
    SetLastError(0);
    if (WriteFile(Log.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr) &&
        written == Bytes.size())
        return 0;
    const DWORD error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;  // a short write is a full disk
    SetFilePointerEx(Log.get(), start, nullptr, FILE_BEGIN);
    SetEndOfFile(Log.get());
    return static_cast<int>(error);
}

void BinLogClose(brd::UniqueFile& Log) { Log.reset(); }

std::wstring LogConstText(uint32_t Code, const std::wstring& InstallDir) {
    switch (Code) {
        case hcProductName: return ProductName;
        case hcProductVersion: return ProductVersion;
        case hcProductType: return EditionText;
        case hcInstallDir: return InstallDir;
        case hcProductRegKey: return ProductKey;
        case hcUninstallKey: return UninstallName;
        default: return L"";
    }
}
