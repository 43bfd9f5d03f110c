#include "catalogue/UIdeSettings.h"

#include <windows.h>

#include "support/URegistry.h"
#include "support/UText.h"

std::wstring LibraryKey(const TBorlandProduct& Ide, TLibraryPlatform Platform) {
    if (!Ide.Is32and64) return Ide.RegKey + LibrarySubKey;
    return Ide.RegKey + (Platform == TLibraryPlatform::Win64 ? LibraryWin64SubKey : LibraryWin32SubKey);
}

std::wstring LibraryValueName(int32_t Row) { return Row == prDelphi3 ? Delphi3SearchPathValue : SearchPathValue; }

bool SplitIdeValuePath(const TBorlandProduct& Ide, const std::wstring& SubPath, std::wstring& Key,
                       std::wstring& ValueName) {
    const std::wstring path = Ide.RegKey + SubPath;
    const int slash = LastCharPos(path, L'\\');
    if (slash <= 1) return false;
    Key = path.substr(0, static_cast<size_t>(slash - 1));
    ValueName = path.substr(static_cast<size_t>(slash));
    return true;
}

std::wstring PackageFolder(const std::wstring& Package) {
    const int slash = LastCharPos(Package, L'\\');
    return slash > 0 ? Package.substr(0, static_cast<size_t>(slash - 1)) : Package;
}

size_t FindPathEntry(const std::wstring& Value, const std::wstring& Entry) {
    if (Entry.empty()) return std::wstring::npos;
    size_t start = 0;
    for (;;) {
        size_t end = Value.find(L';', start);
        if (end == std::wstring::npos) end = Value.size();
        if (SameTextIgnoringCase(Value.data() + start, end - start, Entry.data(), Entry.size())) return start;
        if (end == Value.size()) return std::wstring::npos;
        start = end + 1;
    }
}

TPathAdd AddPathEntry(const std::wstring& Key, const std::wstring& ValueName, std::wstring Value,
                      const std::wstring& Entry) {
    if (FindPathEntry(Value, Entry) != std::wstring::npos) return TPathAdd::Already;
    // A separator of its own, also after a value that ends in one: the removal takes
    // the entry with the separator before it and so gives the value back as it was.
    if (!Value.empty()) Value += L';';
    Value += Entry;
    return WriteRegString(HKEY_CURRENT_USER, Key, ValueName, Value) ? TPathAdd::Added : TPathAdd::WriteFailed;
}

void RemovePathEntry(const std::wstring& Key, const std::wstring& ValueName, const std::wstring& Entry) {
    std::wstring value;
    if (!ReadRegString(HKEY_CURRENT_USER, Key, ValueName, value)) return;
    size_t pos = FindPathEntry(value, Entry);
    if (pos == std::wstring::npos) return;
    size_t end = pos + Entry.size();
    if (end < value.size()) {
        value.erase(pos, Entry.size() + 1);  // the entry and the ";" after it
    } else {
        value.erase(pos);  // the last entry, and the ";" that led to it
        if (!value.empty() && value.back() == L';') value.pop_back();
    }
    WriteRegString(HKEY_CURRENT_USER, Key, ValueName, value);
}
