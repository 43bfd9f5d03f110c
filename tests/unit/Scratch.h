// Scratch folders and registry keys for tests that touch the real platform. Each
// test gets its own, below C:\cvltest and Software\CvlTest, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/UDirTree.h"
#include "support/UTextFile.h"
#include "support/WinHandles.h"
#include "tests/driver/TestFiles.h"

namespace cvltest {

// Texts of the tests' messages and of the platform, converted as the program does.
inline std::wstring Widen(const std::string& s) { return Utf8ToWide(s); }
inline std::string Narrow(const std::wstring& s) { return WideToUtf8(s); }

inline std::wstring CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return Widen(name);
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool IsDir(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    ASSERT_TRUE(WriteBytesToFile(path, bytes)) << "cannot create a scratch file";
}

inline std::string ReadFileBytes(const std::wstring& path) {
    brd::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    std::string data;
    char buf[4096];
    DWORD read = 0;
    while (ReadFile(f.get(), buf, sizeof(buf), &read, nullptr) && read > 0) data.append(buf, read);
    return data;
}

// A fresh folder C:\cvltest\<test name>, emptied before and removed after the test.
class ScratchDir {
public:
    ScratchDir() : FPath(L"C:\\cvltest\\" + CurrentTestName()) {
        CreateDirectoryPath(FPath);
        DeleteDirTree(FPath, true);
    }
    ~ScratchDir() { DeleteDirTree(FPath, false); }
    const std::wstring& path() const { return FPath; }
    std::wstring operator/(const std::wstring& name) const { return FPath + L"\\" + name; }

private:
    std::wstring FPath;
};

// A fresh key Software\CvlTest\<test name> below HKCU and HKLM (32-bit view).
class ScratchKey {
public:
    ScratchKey() : FPath(L"Software\\CvlTest\\" + CurrentTestName()) { Clean(); }
    ~ScratchKey() { Clean(); }
    const std::wstring& path() const { return FPath; }
    std::wstring operator/(const std::wstring& name) const { return FPath + L"\\" + name; }

private:
    void Clean() {
        RegDeleteTreeW32(HKEY_CURRENT_USER);
        RegDeleteTreeW32(HKEY_LOCAL_MACHINE);
    }
    void RegDeleteTreeW32(HKEY root) {
        brd::UniqueKey key;
        if (RegOpenKeyExW(root, FPath.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS) return;
        RegDeleteTreeW(key.get(), nullptr);
        key.reset();
        RegDeleteKeyExW(root, FPath.c_str(), KEY_WOW64_32KEY, 0);
    }
    std::wstring FPath;
};

// Sets a raw registry value in the 32-bit view, any type and bytes.
inline void SetRawValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
                        DWORD size) {
    brd::UniqueKey k;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, k.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(k.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

// The type and size in bytes of a registry value in the 32-bit view; false when the
// value or its key is missing.
inline bool RawValueInfo(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type, DWORD& size) {
    brd::UniqueKey k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, k.put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

inline bool KeyExists(HKEY root, const std::wstring& key, REGSAM view = KEY_WOW64_32KEY) {
    brd::UniqueKey k;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, k.put()) == ERROR_SUCCESS;
}

}  // namespace cvltest
