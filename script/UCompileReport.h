// Compiler output turned into text for the user: decoding whatever bytes a
// compiler printed into readable text, and choosing the last lines that an error
// report has room for. The compile row's own texts are declared in UCompile.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What an error report shows of a compiler's output at most: whole lines, as many
// as fit all three limits. A message box wraps its text at a width of its own
// choosing (Wine's at about 45 characters), so long lines take several rows; the
// rows are counted at RowChars characters each, which keeps the box, with the
// error's own text, within a screen of 768 pixels.
struct TReportLimits {
    size_t Lines;
    size_t Chars;
    size_t Rows;
    size_t RowChars;
};
constexpr TReportLimits CompileReportLimits = {20, 2000, 30, 36};

// The bytes as text: UTF-16 when they look like it, else UTF-8 when they are valid
// UTF-8, else the ANSI code page, byte by byte where it fails. Control characters,
// unpaired surrogates and direction marks become '?'; line breaks and tabs stay.
std::wstring OutputToText(const std::string& Bytes);

// The last lines of Text, without trailing blanks and trailing empty lines, within
// Limits. When the last line alone does not fit, its end, after "...".
std::vector<std::wstring> LastLines(const std::wstring& Text, const TReportLimits& Limits);
