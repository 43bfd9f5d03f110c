// Executors of the script rows that work on directories and files: create, clear and
// enter directories, write payload resources, copy, delete, check, append to, merge
// and patch files, and run a program. Signatures and conventions: script/UExecutor.h.
#pragma once

#include <cstdint>
#include <string>

#include "script/UExecutor.h"

// itCreateDir, itCopyResource, itCopyResourceIfAbsent, itCopyResourceIfNewer,
// itClearDir, itSetCurrentDir, itCopyFile, itCopyFiles, itDeleteFile, itDeleteFiles,
// itCheckFile, itModifyFile, itMergeFiles, itReplaceText, itRunFile.
extern const TExecutorTable FileExecutors;

// Results of the executors besides 0 and Windows error codes.
constexpr int32_t cfMissing = 1;        // itCheckFile: the file is not there
constexpr int32_t mfOpenFailed = -1;    // itModifyFile, itReplaceText: no such file, or it is in use
constexpr int32_t mfSizeFailed = -2;    // its size is unknown or beyond MaxTextFileSize
constexpr int32_t mfReadFailed = -3;    // it could not be read to its end

int32_t ExecCreateDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
// Writes payload resource Code to the path of Name; without Overwrite, a file that
// is there already is kept.
int32_t CopyResource(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText, bool Overwrite);
int32_t ExecCopyResource(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecCopyResourceIfAbsent(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecCopyResourceIfNewer(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecClearDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecSetCurrentDir(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecCopyFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecCopyFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecDeleteFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecDeleteFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
// Also decides itIfFileExists blocks: 0 when the file is there, cfMissing if not.
int32_t ExecCheckFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecModifyFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecMergeFiles(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecReplaceText(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);
int32_t ExecRunFile(const TScriptItem& Item, TRunContext& Run, std::wstring& LogText);

// The system's message text for a Windows error code, without the trailing blanks,
// line ends and full stops that the system puts after it.
std::wstring SystemMessageText(uint32_t Code);

// PathJoin(DirCodeToPath(Dir, Run), Name), a null Name counting as empty.
std::wstring RowPath(uint32_t Dir, const wchar_t* Name, const TRunContext& Run);
