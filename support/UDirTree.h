// Directory trees: creating a path with its missing levels and removing a tree,
// never in a place that is no place to delete in. Failures are Windows error codes
// (creation) or the flag bits below (removal).
#pragma once

#include <cstdint>
#include <string>

// Result flags of DeleteDirTree, ORed over the whole tree; 0 is complete success.
constexpr uint32_t ddFileDeleteFailed = 0x80000002;
constexpr uint32_t ddListCloseFailed = 0x80000004;
constexpr uint32_t ddRemoveDirFailed = 0x80000008;
constexpr uint32_t ddCheckCloseFailed = 0x80000010;
constexpr uint32_t ddDirNotFound = 0x80000020;
// The directory is no place to delete a tree in (empty, relative, a root, or one of
// the system's own folders); nothing was touched.
constexpr uint32_t ddRefused = 0x80000040;

int CreateDirectoryPath(const std::wstring& Path);
uint32_t DeleteDirTree(const std::wstring& Dir, bool KeepDir);
// Whether DeleteDirTree would refuse Dir (see ddRefused).
bool IsProtectedDirectory(const std::wstring& Dir);

// The bytes of every file below Dir; links to folders are not followed. 0 for a
// folder that is missing or empty.
uint64_t DirTreeSize(const std::wstring& Dir);
