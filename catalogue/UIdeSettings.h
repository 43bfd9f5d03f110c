// The settings of an IDE that installing the library changes and removing it
// changes back, all below HKEY_CURRENT_USER: the design-time packages the IDE loads
// and the ";"-separated folder lists (library search path, C++ and IDE paths). The
// registration executors write them and the undo actions remove them, both through
// this unit, so the two sides always agree on the keys, the value names and what
// counts as an entry.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"

// Below an IDE's key.
inline constexpr const wchar_t* KnownPackagesSubKey = L"\\Known Packages";
inline constexpr const wchar_t* LibrarySubKey = L"\\Library";
inline constexpr const wchar_t* LibraryWin32SubKey = L"\\Library\\Win32";
inline constexpr const wchar_t* LibraryWin64SubKey = L"\\Library\\Win64";
inline constexpr const wchar_t* GlobalsSubKey = L"\\Globals";
inline constexpr const wchar_t* Delphi3SearchPathValue = L"SearchPath";
inline constexpr const wchar_t* SearchPathValue = L"Search Path";
inline constexpr const wchar_t* ForceEnvOptionsUpdateValue = L"ForceEnvOptionsUpdate";

// The IDE of the block the script or the uninstall log is in; nullptr outside an
// IDE block.
inline const TBorlandProduct* BlockIde(const TRunContext& Run) { return ProductRow(Run.Ide.Row); }

enum class TLibraryPlatform { Win32, Win64 };

// The key that holds Ide's library search path: per platform for IDEs with Win32
// and Win64 settings, the plain library key for the others.
std::wstring LibraryKey(const TBorlandProduct& Ide, TLibraryPlatform Platform);
// The search-path value's name for the IDE of catalogue row Row.
std::wstring LibraryValueName(int32_t Row);

// An IDE path row names a value below the IDE's key ("\Library\Win64\Search Path"):
// the text before its last backslash is the key, the text after it the value
// name. False, with nothing set, when the path has no backslash to split at.
bool SplitIdeValuePath(const TBorlandProduct& Ide, const std::wstring& SubPath, std::wstring& Key,
                       std::wstring& ValueName);

// The folder of a package file: the path before its last backslash.
std::wstring PackageFolder(const std::wstring& Package);

// Position (0-based) of Entry as a whole entry of the ";"-separated list Value,
// ignoring letter case; npos when absent. "c:\lib" is found in "x;C:\Lib;y" but
// not in "c:\lib2" or "c:\library".
size_t FindPathEntry(const std::wstring& Value, const std::wstring& Entry);

enum class TPathAdd { Already, Added, WriteFailed };

// Adds Entry to the HKEY_CURRENT_USER value Key\ValueName whose text is Value. A
// whole entry in any letter case counts as there, and nothing else, so what is
// added here is exactly what RemovePathEntry takes away again.
TPathAdd AddPathEntry(const std::wstring& Key, const std::wstring& ValueName, std::wstring Value,
                      const std::wstring& Entry);

// Removes the first whole occurrence of Entry, with its separator, from the
// HKEY_CURRENT_USER value Key\ValueName. A value that lacks the entry or does not
// exist is left as it is.
void RemovePathEntry(const std::wstring& Key, const std::wstring& ValueName, const std::wstring& Entry);
