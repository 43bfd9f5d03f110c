// 8-bit text: conversion between the program's UTF-16 texts and the system ANSI
// code page or UTF-8, and reading a whole open file with a bound on its size. The help
// index files, the merged alias files and the files of the replace-text row are
// such files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The largest text file read into memory whole. The files edited in place are a few
// kilobytes; anything near this size is not one of them.
constexpr uint64_t MaxTextFileSize = 64ull * 1024 * 1024;

// Results of ReadWholeFile besides 0.
constexpr int rfSizeFailed = -2;  // the size could not be taken, or exceeds MaxTextFileSize
constexpr int rfReadFailed = -3;  // reading stopped before the end of the file

std::string AnsiFromWide(const std::wstring& Text);
std::string WideToUtf8(const std::wstring& Text);
std::wstring Utf8ToWide(const std::string& Text);
std::wstring WideFromAnsi(const char* Bytes, size_t Length);
// Lower-cases with the system's ANSI rules (CharLowerBuffA), byte for byte.
std::string AnsiLower(std::string Text);

// Reads the whole of a file just opened into Content: 0, rfSizeFailed
// or rfReadFailed (Content is then empty and GetLastError says why).
int ReadWholeFile(HANDLE File, std::string& Content);
