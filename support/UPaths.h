// Path texts and what lies at a path. Pure text operations never touch the disk;
// the existence checks ask the file system once.
#pragma once

#include <windows.h>

#include <string>

std::wstring PathJoin(const std::wstring& Dir, const std::wstring& Name);
// Puts Path between double quotes when it holds a blank, for command lines.
std::wstring QuoteIfBlank(const std::wstring& Path);
bool IsPathSeparator(wchar_t c);
// Whether Path names a place on a drive or share by itself ("C:\...", "\\server\...").
// Paths that do not would be taken relative to whatever the current directory is.
bool IsFullPath(const std::wstring& Path);

// Whether Path is Dir or lies inside it (letter case ignored, trailing separators of
// Dir too); IsPathBelow leaves Dir itself out. Both compare the texts as given: make
// them full paths first where either could be relative.
bool IsPathAtOrBelow(const std::wstring& Path, const std::wstring& Dir);
bool IsPathBelow(const std::wstring& Path, const std::wstring& Dir);

// Whether File lies inside Dir, at any depth, in any letter case, once both are made
// full paths against the current directory; Dir may end with backslashes. Dir itself
// and a sibling that merely begins like it (C:\IDE\Delphi70 for C:\IDE\Delphi7) do
// not count.
bool PathLiesBelow(const std::wstring& File, const std::wstring& Dir);

bool PathExists(const std::wstring& Path);
bool FileExists(const std::wstring& Path);  // and is not a directory
bool DirectoryExists(const std::wstring& Path);
