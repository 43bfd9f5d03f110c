// Files written whole or not at all: the bytes go to a file beside the target, are
// flushed to the disk, and only then is the file moved over the target. A write that
// fails (a full disk, a locked target) leaves the target as it was and removes the
// file beside it.
#pragma once

#include <cstddef>
#include <string>

// The name of the file that a whole write of FileName writes first.
std::wstring BesideName(const std::wstring& FileName);

// Writes Size bytes of Data as the whole new content of FileName; 0 or a Windows
// error code. KeepAttributes: an existing file keeps its attributes, security and
// creation time (ReplaceFile), as an edit of someone else's file should.
int WriteWholeFile(const std::wstring& FileName, const void* Data, size_t Size, bool KeepAttributes = false);

// Copies Source over Target, whole or not at all; 0 or a Windows error code.
int CopyWholeFile(const std::wstring& Source, const std::wstring& Target);

// The last whole write or copy on this thread that failed since ForgetFailedWrite:
// its target and its Windows error code (0 when none failed). A caller that runs several writes
// (one install row) learns from it which file a failure was about.
struct TFailedWrite {
    std::wstring Path;
    int Error = 0;
};
TFailedWrite LastFailedWrite();
void ForgetFailedWrite();

// Whether a Windows error code says that the disk is full.
bool IsDiskFull(int Error);

// For the test programs: called once the new bytes are flushed to the file beside
// the target, before that file is moved over the target.
extern void (*WholeFileWrittenHook)(const std::wstring& Beside);
