#include "support/UText.h"

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
