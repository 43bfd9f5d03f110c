// Compiler output turned into text for the user: decoding whatever bytes a
// compiler printed into readable text, and choosing the last lines that an error
// report has room for. The compile row's own texts are declared in UCompile.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What an error report shows of a compiler's output at most; lines longer than the
// width are broken, so that the message box fits on the screen.
constexpr size_t CompileReportLines = 20;
constexpr size_t CompileReportChars = 2000;
constexpr size_t CompileReportLineWidth = 100;

// The bytes as text: UTF-16 when they look like it, else UTF-8 when they are valid
// UTF-8, else the ANSI code page, byte by byte where it fails. Control characters,
// unpaired surrogates and direction marks become '?'; line breaks and tabs stay.
std::wstring OutputToText(const std::string& Bytes);

// The last lines of Text, without trailing blanks and trailing empty lines: at most
// MaxLines pieces of at most LineWidth characters, MaxChars characters in all.
std::vector<std::wstring> LastLines(const std::wstring& Text, size_t MaxLines, size_t MaxChars, size_t LineWidth);
