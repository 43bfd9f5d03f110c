// For the tests of the script's executors: a scratch install directory, the row's
// text log, and a row run the way the engine runs it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "FreshState.h"
#include "Scratch.h"
#include "script/UExecutor.h"
#include "support/UConst.h"

namespace cvltest {

// The run's install directory is the scratch folder; the current directory, which
// rows may change, is C:\ again after the test so that the folder can go.
class ExecutorTest : public FreshStateTest {
protected:
    void SetUp() override {
        FreshStateTest::SetUp();
        context.InstallDir = dir.path();
        context.Detected = &detected;
    }
    void TearDown() override {
        SetCurrentDirectoryW(L"C:\\");
        FreshStateTest::TearDown();
    }
    int32_t Run(TExecutor Executor, const TScriptItem& Item) {
        log.clear();  // as the engine does before every row
        return Executor(Item, context, log);
    }
    std::wstring Path(const std::wstring& Name) const { return dir / Name; }

    // The row's IDE block: row `row` of the catalogue, as detection sees it now.
    void EnterIde(int row, const std::wstring& folder = L"") { context.Ide = IdeBlock(row, folder, context); }

    ScratchDir dir;
    TDetectedIdes detected;  // what detection found on the test's machine
    TRunContext context;
    std::wstring log;
};

}  // namespace cvltest
