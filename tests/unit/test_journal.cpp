// The rollback journal: its reading of damaged files, and one run's changes to files
// and registry put back exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Scratch.h"
#include "support/UDirTree.h"
#include "support/UJournal.h"
#include "support/URegistry.h"
#include "support/UWholeFile.h"
#include "support/UbrdStringList.h"
#include "uninstall/URollback.h"

using namespace cvltest;

namespace {

std::vector<TJournalRecord> SampleRecords() {
    TJournalRecord file;
    file.Kind = TJournalKind::FileKept;
    file.Path = L"C:\\x\\a.txt";
    file.Copy = L"1.bak";
    TJournalRecord value;
    value.Kind = TJournalKind::ValueKept;
    value.Root = rcCurrentUser;
    value.Path = L"Software\\X";
    value.Name = L"V";
    value.Type = REG_BINARY;
    value.Data = std::string("\0\1\2", 3);
    TJournalRecord done;
    done.Kind = TJournalKind::Done;
    done.Index = 7;
    return {file, value, done};
}

std::string Encoded(const std::vector<TJournalRecord>& records) {
    std::string bytes = JournalHeader();
    for (const TJournalRecord& r : records) bytes += EncodeJournalRecord(r);
    return bytes;
}

// Every file below Dir with its bytes, and every value below Key with its type and
// data, as one text.
std::string Snapshot(const std::wstring& dir, HKEY root, const std::wstring& key) {
    std::string out;
    WIN32_FIND_DATAW entry;
    brd::UniqueFind find;
    if (!dir.empty()) find.reset(FindFirstFileW((dir + L"\\*").c_str(), &entry));
    if (find) do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                out += "[" + Narrow(name) + "]" + Snapshot(dir + L"\\" + name, nullptr, L"") + "[/]";
            else
                out += Narrow(name) + "=" + ReadFileBytes(dir + L"\\" + name) + ";";
        } while (FindNextFileW(find.get(), &entry));
    if (!root) return out;
    brd::UniqueKey k;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, k.put()) != ERROR_SUCCESS) return out + "|nokey";
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD n = 256, size = sizeof(data), type = 0;
        if (RegEnumValueW(k.get(), i, name, &n, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        out += "|" + Narrow(name) + ":" + std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
    }
    for (DWORD i = 0;; ++i) {
        DWORD n = 256;
        if (RegEnumKeyExW(k.get(), i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out += "|{" + Narrow(name) + Snapshot(L"", root, key + L"\\" + name) + "}";
    }
    return out;
}

}  // namespace

TEST(Journal, ReadingStopsAtTheFirstCutOrDamagedRecord) {
    const std::vector<TJournalRecord> records = SampleRecords();
    const std::string whole = Encoded(records);
    const size_t firstEnd = JournalHeader().size() + EncodeJournalRecord(records[0]).size();
    struct Case {
        const char* what;
        std::string bytes;
        bool readable;
        size_t records;
        bool damaged;
    };
    std::string flipped = whole;
    flipped[firstEnd + 6] ^= 0x40;  // inside the second record's body
    const Case cases[] = {
        {"whole", whole, true, 3, false},
        {"cut inside the last record", whole.substr(0, whole.size() - 3), true, 2, true},
        {"cut after the first record's length", whole.substr(0, firstEnd + 2), true, 1, true},
        {"a changed byte", flipped, true, 1, true},
        {"a header cut short", JournalHeader().substr(0, 3), true, 0, false},
        {"empty", "", true, 0, false},
        {"another file", "MZ\x90\0\3\0\0\0", false, 0, false},
        {"a huge length", JournalHeader() + std::string("\xff\xff\xff\x7f", 4) + "xxxx", true, 0, true},
    };
    for (const Case& c : cases) {
        TJournalContents got = DecodeJournal(c.bytes);
        EXPECT_EQ(got.Readable, c.readable) << c.what;
        EXPECT_EQ(got.Records.size(), c.records) << c.what;
        EXPECT_EQ(got.Damaged, c.damaged) << c.what;
    }
    TJournalContents back = DecodeJournal(whole);
    ASSERT_EQ(back.Records.size(), 3u);
    EXPECT_EQ(back.Records[1].Data, records[1].Data);
    EXPECT_EQ(back.Records[1].Name, L"V");
    EXPECT_EQ(back.Records[2].Index, 7u);
}

// One run that overwrites, edits and deletes files, removes a folder tree, creates
// folders and keys, sets and deletes values of several types and removes a key
// tree: its rollback leaves the files and keys exactly as they were.
TEST(Journal, RollbackPutsFilesAndRegistryBackExactly) {
    TRollbackObserver quiet;
    RollBackJournal(quiet);  // whatever a test stopped before left
    ScratchDir dir;
    ScratchKey key;
    CreateDirectoryPath(dir / L"tree\\sub");
    WriteFileBytes(dir / L"kept.txt", "old bytes");
    WriteFileBytes(dir / L"gone.txt", "to be deleted");
    WriteFileBytes(dir / L"tree\\sub\\deep.bin", std::string("\0\1\2", 3));
    WriteFileBytes(dir / L"tree\\top.txt", "top");
    const DWORD number = 42;
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Number", REG_DWORD, &number, sizeof(number));
    const wchar_t expand[] = L"%WINDIR%\\x";
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    SetRawValue(HKEY_CURRENT_USER, key / L"Tree\\Deeper", L"Bin", REG_BINARY, "\0\7", 2);
    const std::string before = Snapshot(dir.path(), HKEY_CURRENT_USER, key.path());

    ASSERT_TRUE(JournalBegin());
    TbrdStringList lines;
    lines.Add(L"new line");
    EXPECT_TRUE(lines.SaveToFileA(dir / L"kept.txt"));
    EXPECT_TRUE(KeepFileBeforeChange(dir / L"gone.txt"));
    DeleteFileW((dir / L"gone.txt").c_str());
    EXPECT_EQ(DeleteDirTree(dir / L"tree", false), 0u);
    EXPECT_EQ(CreateDirectoryPath(dir / L"new\\deeper"), 0);
    EXPECT_TRUE(lines.SaveToFile(dir / L"new\\deeper\\file.txt"));
    EXPECT_TRUE(WriteRegInteger(HKEY_CURRENT_USER, key.path(), L"Number", 7));
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key.path(), L"Added", L"x"));
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, key.path(), L"Expand"));
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key / L"Made\\Below", L"V", L"y"));
    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, key / L"Tree\\Deeper"));
    EXPECT_FALSE(JournalFailed());
    ASSERT_NE(Snapshot(dir.path(), HKEY_CURRENT_USER, key.path()), before);

    EXPECT_EQ(RollBackJournal(quiet), TRollbackResult::RolledBack);
    EXPECT_EQ(Snapshot(dir.path(), HKEY_CURRENT_USER, key.path()), before);
    EXPECT_FALSE(IsDir(JournalFolder()));
    EXPECT_EQ(RollBackJournal(quiet), TRollbackResult::NothingToDo);
}

namespace {

// A run killed once a whole write's bytes are flushed beside the target and before
// they are moved over it; the next start rolls the journal back.
bool BesideWasThere = false;
void KilledBeforeTheMove(const std::wstring& Beside) {
    BesideWasThere = GetFileAttributesW(Beside.c_str()) != INVALID_FILE_ATTRIBUTES;
    JournalClose();
    TRollbackObserver quiet;
    RollBackJournal(quiet);
}

}  // namespace

// Whether the journal keeps the target, knows nothing of it or made its folder, the
// rollback takes away the file beside it and leaves the target as it was.
TEST(Journal, AWholeWriteStoppedBeforeItsMoveLeavesNothingBeside) {
    TRollbackObserver quiet;
    RollBackJournal(quiet);
    ScratchDir dir;
    WriteFileBytes(dir / L"kept.txt", "old bytes");
    const std::string before = Snapshot(dir.path(), nullptr, L"");
    struct Case {
        const char* what;
        std::wstring target;
        bool keptFirst;
        bool inNewFolder;
    };
    const Case cases[] = {
        {"a file the journal keeps", dir / L"kept.txt", true, false},
        {"a new file the journal does not know", dir / L"unknown.txt", false, false},
        {"a file in a folder the run made", dir / L"made\\new.txt", false, true},
    };
    WholeFileWrittenHook = KilledBeforeTheMove;
    for (const Case& c : cases) {
        BesideWasThere = false;
        ASSERT_TRUE(JournalBegin()) << c.what;
        if (c.inNewFolder) {
            EXPECT_EQ(CreateDirectoryPath(dir / L"made"), 0) << c.what;
        }
        if (c.keptFirst) {
            EXPECT_TRUE(KeepFileBeforeChange(c.target)) << c.what;
        }
        EXPECT_NE(WriteWholeFile(c.target, "new bytes", 9), 0) << c.what;
        EXPECT_TRUE(BesideWasThere) << c.what;
        EXPECT_EQ(Snapshot(dir.path(), nullptr, L""), before) << c.what;
        EXPECT_FALSE(JournalLeftOver()) << c.what;
    }
    WholeFileWrittenHook = nullptr;
}
