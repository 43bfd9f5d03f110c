// The running system: its platform id, its own folders, the current directory and
// the DLL search order. The folder queries report the length they need instead of
// using a fixed buffer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The platform id of the running system (2: NT family), read once at start-up.
extern uint32_t OSPlatformId;
void ReadOSPlatform();

// Limits DLL loading to the system directory for the rest of the process, so that
// a DLL planted beside setup.exe (a downloads folder) is never loaded.
void RestrictDllSearchPath();

std::wstring GetCurrentDir();
std::wstring GetWindowsDir();
std::wstring GetSystemDir();
std::wstring GetTempDir();
// Path made absolute against the current directory; empty when the system refuses it.
std::wstring GetFullPath(const std::wstring& Path);
