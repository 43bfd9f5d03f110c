// The sorted string list: locale order, binary search with its duplicate rules,
// loading 8-bit text with every kind of line end, and saving through the fixed
// buffer, on Wine's real locale and file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scratch.h"
#include "support/UbrdStringList.h"

using namespace cvltest;

namespace {

std::vector<std::wstring> Lines(const TbrdStringList& list) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
    return lines;
}

void AddAll(TbrdStringList& list, const std::vector<std::wstring>& lines) {
    for (const auto& line : lines) list.Add(line);
}

TEST(StringList, KeepsTheUsersLocaleOrder) {
    TbrdStringList list;
    AddAll(list, {L"C", L"b", L"B", L"a", L"A", L"c-d", L"cd"});
    // Lower case before the next upper-case letter, not after all of them as in code
    // unit order; letters differing only in case are different lines.
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"a", L"A", L"b", L"B", L"C", L"c-d", L"cd"}));
    EXPECT_EQ(list.IndexOf(L"B"), 3);
    EXPECT_EQ(list.IndexOf(L"c"), -1);
}

TEST(StringList, FindStopsAtTheFirstEqualLineUnlessDuplicatesAreAccepted) {
    struct Case {
        TbrdDuplicates mode;
        int index;
    };
    for (Case c : {Case{dupIgnore, 2}, Case{dupError, 2}, Case{dupAccept, 1}}) {
        TbrdStringList list;
        list.SetDuplicates(c.mode);
        AddAll(list, {L"a", L"b", L"b", L"b", L"c"});
        int index = -1;
        EXPECT_TRUE(list.Find(L"b", index));
        EXPECT_EQ(index, c.index) << "mode " << c.mode;
        EXPECT_FALSE(list.Find(L"bb", index));
        EXPECT_EQ(index, 4);  // where it belongs
    }
}

TEST(StringList, AddAlwaysInserts) {
    TbrdStringList list;
    EXPECT_EQ(list.IndexOf(L"x"), -1);
    int index = -1;
    EXPECT_FALSE(list.Find(L"x", index));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(list.Add(L"x"), 0);
    EXPECT_EQ(list.Add(L"x"), 0);  // before the equal line Find met
    EXPECT_EQ(list.Add(L"y"), 2);
    EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, OutOfRangeAndNoOpOperationsChangeNothing) {
    TbrdStringList list;
    AddAll(list, {L"b", L"a"});
    list.Put(0, L"z");
    list.Sort();
    list.MergeFromFile(L"C:\\nowhere.txt");
    list.Insert(-1, L"q");
    list.Insert(3, L"q");
    EXPECT_EQ(Lines(list), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(list.Get(-1), L"");
    EXPECT_EQ(list.Get(2), L"");
    list.Insert(2, L"0");  // at the end is allowed, even out of order
    EXPECT_EQ(list.Get(2), L"0");
}

TEST(StringList, GrowsPastManyBlocks) {
    TbrdStringList list;
    for (int i = 2999; i >= 0; --i) list.Add(std::to_wstring(100000 + i));
    ASSERT_EQ(list.Count(), 3000);
    for (int i : {0, 1023, 1024, 2048, 2999}) EXPECT_EQ(list.Get(i), std::to_wstring(100000 + i));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(L"again");
    EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, LoadSplitsEveryKindOfLineEnd) {
    struct Case {
        std::string content;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {L"a", L"b"}},
        {"x\r\n\r\n", {L"x", L""}},
        {"a\rb\nc", {L"a", L"b", L"c"}},
        {"a\n\rb", {L"a", L"", L"b"}},
        {"\r\n", {L""}},
        {std::string("a\r\nb\0c\r\nd", 9), {L"a", L"b"}},
        {"z\r\na\r\n", {L"z", L"a"}},  // the file's order is kept
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteFileBytes(dir / L"in.txt", c.content);
        TbrdStringList list;
        list.Add(L"old");
        EXPECT_TRUE(list.LoadFromFile(dir / L"in.txt"));
        EXPECT_EQ(Lines(list), c.lines) << c.content;
    }
}

TEST(StringList, AnUnsortedFileDefeatsTheSearch) {
    ScratchDir dir;
    WriteFileBytes(dir / L"in.txt", "zeta\r\nalpha\r\n");
    TbrdStringList list;
    list.LoadFromFile(dir / L"in.txt");
    EXPECT_EQ(list.IndexOf(L"alpha"), -1);
}

TEST(StringList, AMissingOrLockedFileGivesAnEmptyList) {
    ScratchDir dir;
    TbrdStringList list;
    list.Add(L"old");
    EXPECT_FALSE(list.LoadFromFile(dir / L"missing.txt"));
    EXPECT_EQ(list.Count(), 0);
    WriteFileBytes(dir / L"locked.txt", "a\r\n");
    brd::UniqueFile lock(CreateFileW((dir / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(list.LoadFromFile(dir / L"locked.txt"));
    lock.reset();
    EXPECT_EQ(list.Count(), 0);
}

std::string Utf16Bytes(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

TEST(StringList, SavesEveryLineWholeAcrossTheBuffer) {
    // Many short lines fill the buffer several times; a line longer than the whole
    // buffer goes out in one piece between them.
    const std::string longLine(10000, 'L');
    TbrdStringList list;
    std::string expected;
    for (int i = 0; i < 1500; ++i) {
        std::string line = "line" + std::to_string(100000 + i);
        list.Add(Widen(line));
        expected += line + "\r\n";
        if (i == 700) {
            list.Add(L"line" + std::to_wstring(100000 + i) + Widen(longLine));
            expected += line + longLine + "\r\n";
        }
    }
    ScratchDir dir;
    ASSERT_TRUE(list.SaveToFileA(dir / L"out.txt"));
    EXPECT_EQ(ReadFileBytes(dir / L"out.txt"), expected);
    ASSERT_TRUE(list.SaveToFile(dir / L"out16.txt"));
    EXPECT_EQ(ReadFileBytes(dir / L"out16.txt"), Utf16Bytes(expected));  // no byte-order mark
}

TEST(StringList, SavingAnEmptyListCreatesAnEmptyFile) {
    ScratchDir dir;
    WriteFileBytes(dir / L"out.txt", "old content");
    TbrdStringList list;
    EXPECT_TRUE(list.SaveToFileA(dir / L"out.txt"));
    EXPECT_EQ(ReadFileBytes(dir / L"out.txt"), "");
    EXPECT_FALSE(list.SaveToFileA(dir / L"missing\\out.txt"));
    EXPECT_FALSE(Exists(dir / L"missing"));
}

}  // namespace
