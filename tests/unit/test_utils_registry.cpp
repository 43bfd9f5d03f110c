// Registry helpers against Wine's real registry, in the 32-bit view.
#include <gtest/gtest.h>

#include "Scratch.h"
#include "support/URegistry.h"

using namespace cvltest;

namespace {

DWORD RawSize(HKEY root, const std::wstring& key, const std::wstring& name, DWORD* type = nullptr) {
    DWORD size = 0, t = 0;
    const bool found = RawValueInfo(root, key, name, t, size);
    if (type) *type = t;
    return found ? size : 0xFFFFFFFF;
}

TEST(Registry, WriteStringStoresTheTerminatorAndReadsBack) {
    ScratchKey key;
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key / L"a\\b", L"V", L"abc"));
    DWORD type = 0;
    EXPECT_EQ(RawSize(HKEY_CURRENT_USER, key / L"a\\b", L"V", &type), 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::wstring value;
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, key / L"a\\b", L"V", value));
    EXPECT_EQ(value, L"abc");
}

TEST(Registry, ReadStringAcceptsOnlyRegSz) {
    ScratchKey key;
    const wchar_t text[] = L"C:\\IDE";
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Expand", REG_EXPAND_SZ, text, sizeof(text));
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Multi", REG_MULTI_SZ, text, sizeof(text));
    DWORD number = 7;
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Dword", REG_DWORD, &number, sizeof(number));
    for (const wchar_t* name : {L"Expand", L"Multi", L"Dword", L"Missing"}) {
        std::wstring value = L"stale";
        EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, key.path(), name, value)) << name;
        EXPECT_EQ(value, L"") << name;
    }
    std::wstring value = L"stale";
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, key / L"nokey", L"Expand", value));
    EXPECT_EQ(value, L"");
}

TEST(Registry, ReadStringEdgeCasesOfTheStoredBytes) {
    ScratchKey key;
    const wchar_t empty[] = L"";
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Empty", REG_SZ, empty, sizeof(empty));
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"NoBytes", REG_SZ, empty, 0);
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Unterminated", REG_SZ, unterminated, sizeof(unterminated));
    const char odd[] = {'a', 0, 'b'};
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Odd", REG_SZ, odd, sizeof(odd));

    std::wstring value = L"x";
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, key.path(), L"Empty", value));
    EXPECT_EQ(value, L"");
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, key.path(), L"NoBytes", value));
    EXPECT_EQ(value, L"");
    // A value stored without its terminator keeps its last character.
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, key.path(), L"Unterminated", value));
    EXPECT_EQ(value, L"abc");
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, key.path(), L"Odd", value));
    EXPECT_EQ(value, L"a");
}

TEST(Registry, ReadIntegerTakesAnyValueOfAtMostFourBytes) {
    ScratchKey key;
    ASSERT_TRUE(WriteRegInteger(HKEY_CURRENT_USER, key.path(), L"D", -5));
    DWORD type = 0;
    EXPECT_EQ(RawSize(HKEY_CURRENT_USER, key.path(), L"D", &type), 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    const char two[] = {0x34, 0x12};
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Two", REG_BINARY, two, 2);
    const char eight[8] = {1};
    SetRawValue(HKEY_CURRENT_USER, key.path(), L"Eight", REG_QWORD, eight, 8);

    int32_t value = 99;
    EXPECT_TRUE(ReadRegInteger(HKEY_CURRENT_USER, key.path(), L"D", value));
    EXPECT_EQ(value, -5);
    EXPECT_TRUE(ReadRegInteger(HKEY_CURRENT_USER, key.path(), L"Two", value));
    EXPECT_EQ(value, 0x1234);
    value = 99;
    EXPECT_FALSE(ReadRegInteger(HKEY_CURRENT_USER, key.path(), L"Eight", value));
    EXPECT_EQ(value, 0);
    value = 99;
    EXPECT_FALSE(ReadRegInteger(HKEY_CURRENT_USER, key.path(), L"Missing", value));
    EXPECT_EQ(value, 0);
}

TEST(Registry, MachineKeysGoToTheThirtyTwoBitView) {
    ScratchKey key;
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, key.path(), L"V", L"x"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key.path(), KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key.path(), KEY_WOW64_64KEY));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\CvlTest", KEY_WOW64_64KEY));
}

TEST(Registry, CreateKeyAndDeleteValue) {
    ScratchKey key;
    EXPECT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key / L"x\\y"));
    EXPECT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key / L"x\\y"));  // existing key opens
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key / L"x\\y"));
    ASSERT_TRUE(WriteRegInteger(HKEY_CURRENT_USER, key.path(), L"N", 1));
    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, key.path(), L"N"));
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, key.path(), L"N"));
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, key / L"missing", L"N"));
}

TEST(Registry, DeleteKeyTreeRemovesEmptyAncestorsButNotTheTopKey) {
    ScratchKey scratch;
    // scratch\Maker\Product with subkeys; Maker holds nothing else.
    const std::wstring maker = scratch / L"Maker";
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, maker + L"\\Product\\Sub\\Deeper", L"V", L"1"));
    ASSERT_TRUE(WriteRegInteger(HKEY_LOCAL_MACHINE, maker + L"\\Product", L"N", 1));
    EXPECT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, maker + L"\\Product"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, maker + L"\\Product"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, maker));
    // The walk goes on up through every emptied ancestor, but never removes Software.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software"));
}

TEST(Registry, DeleteKeyTreeKeepsAnAncestorThatHoldsSomethingElse) {
    ScratchKey scratch;
    const std::wstring maker = scratch / L"Maker";
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, maker + L"\\Product", L"V", L"1"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, maker, L"Other", L"1"));
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, scratch / L"Sibling"));
    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, maker + L"\\Product"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, maker + L"\\Product"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, maker));
    EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, maker + L"\\Product"));  // already gone
}

TEST(Registry, DeleteKeyTreeCanKeepTheListItWasIn) {
    ScratchKey scratch;
    const std::wstring list = scratch / L"List";
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, list + L"\\Entry\\Sub", L"V", L"1"));
    EXPECT_TRUE(DeleteKeyTree(HKEY_LOCAL_MACHINE, list + L"\\Entry", TEmptyAncestors::Keep));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, list + L"\\Entry"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, list));
}

}  // namespace
