// Text searches with the positions the rest of the program counts in: 1-based, 0
// when absent or when either text is empty.
#pragma once

#include <string>

int StrPosW(const std::wstring& Text, const std::wstring& Pattern);
int StrPosA(const std::string& Text, const std::string& Pattern);
int LastCharPos(const std::wstring& Text, wchar_t Ch);

// Whether two texts are equal when letter case is ignored, character by character
// (no language rules: "I" and "i" match in every locale).
bool SameTextIgnoringCase(const wchar_t* A, size_t ALength, const wchar_t* B, size_t BLength);
inline bool SameTextIgnoringCase(const std::wstring& A, const std::wstring& B) {
    return SameTextIgnoringCase(A.data(), A.size(), B.data(), B.size());
}

// C as an upper-case letter when it is one of a..z; every other character as it is.
inline wchar_t AsciiUpper(wchar_t C) { return (C >= L'a' && C <= L'z') ? static_cast<wchar_t>(C - L'a' + L'A') : C; }

// What setup.exe's switches may begin with: "/C", "-C" and "\C" alike.
inline bool IsSwitchPrefix(wchar_t C) { return C == L'-' || C == L'/' || C == L'\\'; }
