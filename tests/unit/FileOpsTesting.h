// For the tests of the file executors: the unit tests' payload resources, and the
// executor fixture with a current directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ExecutorTesting.h"
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

// The current directory is a folder of its own ("cwd") so that a row that wrongly
// resolved to a relative path would show there.
class FileOpsTest : public ExecutorTest {
protected:
    void SetUp() override {
        ExecutorTest::SetUp();
        CreateDirectoryPath(dir / L"cwd");
        SetCurrentDirectoryW((dir / L"cwd").c_str());
    }
};

}  // namespace cvltest
