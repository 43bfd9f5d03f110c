#include "support/UText.h"

#include <windows.h>

namespace {

template <typename Str>
int FirstPos(const Str& text, const Str& pattern) {
    if (text.empty() || pattern.empty()) return 0;
    auto pos = text.find(pattern);
    return pos == Str::npos ? 0 : static_cast<int>(pos) + 1;
}

}  // namespace

int StrPosW(const std::wstring& Text, const std::wstring& Pattern) { return FirstPos(Text, Pattern); }

int StrPosA(const std::string& Text, const std::string& Pattern) { return FirstPos(Text, Pattern); }

int LastCharPos(const std::wstring& Text, wchar_t Ch) {
    for (size_t i = Text.size(); i > 0; --i)
        if (Text[i - 1] == Ch) return static_cast<int>(i);
    return 0;
}

bool SameTextIgnoringCase(const wchar_t* A, size_t ALength, const wchar_t* B, size_t BLength) {
    return CompareStringOrdinal(A, static_cast<int>(ALength), B, static_cast<int>(BLength), TRUE) == CSTR_EQUAL;
}
