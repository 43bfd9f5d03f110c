// A scratch install directory for the tests of the file executors, and rows built
// the way the script table writes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "RowTesting.h"
#include "Scratch.h"
#include "catalogue/UDirCodes.h"
#include "catalogue/UProducts.h"
#include "script/UFileOps.h"
#include "support/UConst.h"
#include "support/UDirTree.h"

namespace cvltest {

// The unit tests' own payload: 1 has no version resource, 2 and 3 are DLLs with the
// product versions 1.2.3.4 and 1.2.10.0.
constexpr uint32_t ResPlain = 1;
constexpr uint32_t ResOld = 2;
constexpr uint32_t ResNew = 3;

inline std::string Resource(uint32_t Id) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(Id), L"CVLIB");
    if (!info) return "<no resource>";
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return std::string(data, SizeofResource(nullptr, info));
}

// InstallDir is the scratch folder; the current directory is a folder of its own
// ("cwd") so that a row that wrongly resolved to a relative path would show there.
class FileOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallDir = dir.path();
        CreateDirectoryPath(dir / L"cwd");
        SetCurrentDirectoryW((dir / L"cwd").c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryW(L"C:\\");
        ResetInstallState();
        ResetCatalogue();
    }
    int32_t Run(TExecutor Executor, const TScriptItem& Item) {
        log.clear();  // as the engine does before every row
        return Executor(Item, log);
    }
    std::wstring Path(const std::wstring& Name) const { return dir / Name; }

    ScratchDir dir;
    std::wstring log;
};

}  // namespace cvltest
