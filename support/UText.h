// Text searches with the positions the rest of the program counts in: 1-based, 0
// when absent or when either text is empty.
#pragma once

#include <string>

int StrPosW(const std::wstring& Text, const std::wstring& Pattern);
int StrPosA(const std::string& Text, const std::string& Pattern);
int LastCharPos(const std::wstring& Text, wchar_t Ch);
