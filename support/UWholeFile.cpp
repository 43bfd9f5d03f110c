#include "support/UWholeFile.h"

#include <windows.h>

#include "support/UJournal.h"
#include "support/WinHandles.h"

using brd::UniqueFile;

void (*WholeFileWrittenHook)(const std::wstring& Beside) = nullptr;

namespace {

// Kept per thread, like GetLastError: the rows of a run and the writes they make
// share the run's worker thread.
thread_local TFailedWrite FailedWrite;

int LastErrorOr(DWORD Fallback) {
    DWORD error = GetLastError();
    return static_cast<int>(error ? error : Fallback);
}

// Writes and flushes the whole of Data to a new file Name; 0 or a Windows error code.
int WriteAndFlush(const std::wstring& Name, const void* Data, size_t Size) {
    UniqueFile file(CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOr(ERROR_WRITE_FAULT);
    const auto* bytes = static_cast<const char*>(Data);
    while (Size > 0) {
        const DWORD chunk = Size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(Size);
        DWORD written = 0;
        SetLastError(0);
        if (!WriteFile(file.get(), bytes, chunk, &written, nullptr) || written != chunk)
            return LastErrorOr(ERROR_DISK_FULL);  // a short write is a full disk
        bytes += chunk;
        Size -= chunk;
    }
    if (!FlushFileBuffers(file.get())) return LastErrorOr(ERROR_WRITE_FAULT);
    if (!file.reset()) return LastErrorOr(ERROR_WRITE_FAULT);
    return 0;
}

// Moves the finished file Beside over FileName; 0 or a Windows error code.
int MoveOver(const std::wstring& Beside, const std::wstring& FileName, bool KeepAttributes) {
    if (KeepAttributes && GetFileAttributesW(FileName.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (ReplaceFileW(FileName.c_str(), Beside.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return 0;
        return LastErrorOr(ERROR_WRITE_FAULT);
    }
    if (MoveFileExW(Beside.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return LastErrorOr(ERROR_WRITE_FAULT);
}

// The rollback removes the file beside Target should the run end before it is
// moved; a target that the journal keeps already has it covered.
int Announced(const std::wstring& Target, const std::wstring& Beside) {
    return NoteBesideFile(Target, Beside) ? 0 : ERROR_WRITE_FAULT;
}

int Written(const std::wstring& Beside, int Result) {
    if (Result == 0 && WholeFileWrittenHook) WholeFileWrittenHook(Beside);
    return Result;
}

int Finished(const std::wstring& Target, const std::wstring& Beside, int Result) {
    if (Result != 0) {
        DeleteFileW(Beside.c_str());
        FailedWrite = {Target, Result};
        SetLastError(static_cast<DWORD>(Result));
    }
    return Result;
}

}  // namespace

std::wstring BesideName(const std::wstring& FileName) { return FileName + L".cvlnew"; }

int WriteWholeFile(const std::wstring& FileName, const void* Data, size_t Size, bool KeepAttributes) {
    const std::wstring beside = BesideName(FileName);
    int result = Announced(FileName, beside);
    if (result == 0) result = Written(beside, WriteAndFlush(beside, Data, Size));
    if (result == 0) result = MoveOver(beside, FileName, KeepAttributes);
    return Finished(FileName, beside, result);
}

int CopyWholeFile(const std::wstring& Source, const std::wstring& Target) {
    const std::wstring beside = BesideName(Target);
    int result = Announced(Target, beside);
    if (result == 0) result = CopyFileW(Source.c_str(), beside.c_str(), FALSE) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
    if (result == 0) {
        SetFileAttributesW(beside.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only source gives a read-only copy
        UniqueFile copy(CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!copy || !FlushFileBuffers(copy.get())) result = LastErrorOr(ERROR_WRITE_FAULT);
    }
    if (result == 0) result = Written(beside, 0);
    if (result == 0) result = MoveOver(beside, Target, false);
    return Finished(Target, beside, result);
}

TFailedWrite LastFailedWrite() { return FailedWrite; }

void ForgetFailedWrite() { FailedWrite = {}; }

bool IsDiskFull(int Error) { return Error == ERROR_DISK_FULL || Error == ERROR_HANDLE_DISK_FULL; }
