#include "support/UbrdStringList.h"

#include <windows.h>

#include <algorithm>

#include "support/UJournal.h"
#include "support/UTextFile.h"
#include "support/UWholeFile.h"
#include "support/WinHandles.h"

namespace {

constexpr int GrowthStep = 1024;  // slots added whenever the array is full

// The lines with a CR LF after each, as one text to write whole.
template <typename Char, typename Convert>
std::basic_string<Char> JoinedLines(const std::vector<std::wstring>& Lines, int Count, Convert ToChars) {
    std::basic_string<Char> text;
    for (int i = 0; i < Count; ++i) {
        text += ToChars(Lines[static_cast<size_t>(i)]);
        text += Char('\r');
        text += Char('\n');
    }
    return text;
}

}  // namespace

TbrdStringList::~TbrdStringList() { Clear(); }

void TbrdStringList::Clear() {
    FLines.clear();
    FLines.shrink_to_fit();
    FLinesCount = 0;
    FLinesCapacity = 0;
}

int TbrdStringList::CompareStrings(const std::wstring& A, const std::wstring& B) {
    // SORT_STRINGSORT alone: case-sensitive, punctuation sorts as ordinary symbols.
    int result = CompareStringW(LOCALE_USER_DEFAULT, SORT_STRINGSORT, A.data(), static_cast<int>(A.size()),
                                B.data(), static_cast<int>(B.size()));
    if (result != 0) return result - CSTR_EQUAL;
    // The comparison itself failed: fall back to code units, so the order stays total.
    return A < B ? -1 : (B < A ? 1 : 0);
}

void TbrdStringList::Grow() {
    FLinesCapacity += GrowthStep;
    FLines.resize(static_cast<size_t>(FLinesCapacity));
}

int TbrdStringList::Append(const std::wstring& S) {
    if (FLinesCount >= FLinesCapacity) Grow();
    FLines[static_cast<size_t>(FLinesCount)] = S;
    return FLinesCount++;
}

void TbrdStringList::Insert(int Index, const std::wstring& S) {
    if (Index < 0 || Index > FLinesCount) return;
    if (FLinesCount >= FLinesCapacity) Grow();
    // The slot at FLinesCount is a spare empty string; rotate it down to Index.
    auto first = FLines.begin() + Index;
    std::move_backward(first, FLines.begin() + FLinesCount, FLines.begin() + FLinesCount + 1);
    *first = S;
    ++FLinesCount;
}

int TbrdStringList::Add(const std::wstring& S) {
    int index = 0;
    Find(S, index);
    Insert(index, S);
    return index;
}

bool TbrdStringList::Find(const std::wstring& S, int& Index) const {
    int low = 0;
    int high = FLinesCount - 1;
    bool found = false;
    while (low <= high) {
        const int i = static_cast<int>((static_cast<unsigned>(low) + static_cast<unsigned>(high)) >> 1);
        const int order = CompareStrings(FLines[static_cast<size_t>(i)], S);
        if (order < 0) {
            low = i + 1;
        } else {
            high = i - 1;
            if (order == 0) {
                found = true;
                // dupAccept goes on to the leftmost equal line; otherwise the first
                // equal line met ends the search.
                if (FDuplicates != dupAccept) low = i;
            }
        }
    }
    Index = low;
    return found;
}

int TbrdStringList::IndexOf(const std::wstring& S) const {
    int index = 0;
    return Find(S, index) ? index : -1;
}

std::wstring TbrdStringList::Get(int Index) const {
    if (Index < 0 || Index >= FLinesCount) return {};
    return FLines[static_cast<size_t>(Index)];
}

void TbrdStringList::Put(int, const std::wstring&) {}

void TbrdStringList::Sort() {}

void TbrdStringList::MergeFromFile(const std::wstring&) {}

bool TbrdStringList::LoadFromFile(const std::wstring& FileName) {
    Clear();
    std::string content;
    {
        brd::UniqueFile file(
            CreateFileW(FileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (ReadWholeFile(file.get(), content) != 0) return false;
    }
    LoadFromBuffer(content.c_str());  // the string's own terminator ends the buffer
    return true;
}

void TbrdStringList::LoadFromBuffer(const char* Buffer) {
    const char* p = Buffer;
    while (*p != '\0') {
        const char* start = p;
        while (*p != '\0' && *p != '\r' && *p != '\n') ++p;
        Append(WideFromAnsi(start, static_cast<size_t>(p - start)));
        if (*p == '\r') ++p;
        if (*p == '\n') ++p;
    }
}

// Both saves write the whole list beside the file and move it over it: a save that
// fails (a full disk) leaves the file as it was.
bool TbrdStringList::SaveToFileA(const std::wstring& FileName) const {
    const std::string text =
        JoinedLines<char>(FLines, FLinesCount, [](const std::wstring& Line) { return AnsiFromWide(Line); });
    return KeepFileBeforeChange(FileName) && WriteWholeFile(FileName, text.data(), text.size(), true) == 0;
}

bool TbrdStringList::SaveToFile(const std::wstring& FileName) const {
    const std::wstring text =
        JoinedLines<wchar_t>(FLines, FLinesCount, [](const std::wstring& Line) { return Line; });
    return KeepFileBeforeChange(FileName) &&
           WriteWholeFile(FileName, text.data(), text.size() * sizeof(wchar_t), true) == 0;
}
