// For the tests of compilation and registration: the stand-in compiler written out
// as an IDE's bin\dcc32.exe, dcc64.exe or make.exe (or as the IDE program itself, which
// stays running), its journal of starts, and an IDE
// row whose settings keys a test owns for its run (the row locks of StandInIde.h keep
// test processes running in parallel off each other's IDE keys).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Scratch.h"
#include "StandInIde.h"
#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"
#include "support/UConst.h"
#include "support/UDirTree.h"
#include "support/URegistry.h"
#include "support/WinHandles.h"
#include "tests/driver/StandInIdeBuilder.h"
#include "tests/driver/TestFiles.h"

namespace cvltest {

// The uninstall entry, the product key and "Software\\Microsoft\\Windows\\Help": every
// test process that changes them holds this lock.
inline constexpr const wchar_t* MachineKeysMutexName = L"CvlTestMachineKeys";

// The subkeys of an IDE's key that registration writes; removed before and after a
// test (with their parents when nothing else is left in them).
inline void RemoveIdeSettings(int row) {
    for (const wchar_t* sub : {L"\\Known Packages", L"\\Library", L"\\Globals", L"\\C++", L"\\CppPaths"})
        DeleteKeyTree(HKEY_CURRENT_USER, BorlandProducts[row].RegKey + sub);
}

// Catalogue row `row` locked for this test, its settings in HKEY_CURRENT_USER empty
// at the start and removed at the end; Block() is the IDE block of its rows.
class IdeRow {
public:
    explicit IdeRow(int row) : FRow(row), FLock(IdeRowMutexName(row)) { RemoveIdeSettings(FRow); }
    ~IdeRow() {
        RemoveIdeSettings(FRow);
        ResetCatalogue();
    }
    const std::wstring& Key() const { return BorlandProducts[FRow].RegKey; }
    // The IDE block of this row, without a root.
    TIdeBlock Block(const std::wstring& Folder = L"") const { return IdeBlock(FRow, Folder, TRunContext{}); }

private:
    int FRow;
    TestMutex FLock;
};

// Writes the stand-in compiler (a resource of the test program) to Path.
inline bool WriteStandInCompiler(const std::wstring& Path) {
    HRSRC info = FindResourceW(nullptr, L"STANDIN_COMPILER", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!info) return false;
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return data && WriteBytesToFile(Path, std::string(data, SizeofResource(nullptr, info)));
}

// The stand-in compiler as a file for stand-in IDEs to copy: written once per test
// process into the temporary folder, removed when the process ends.
inline const std::wstring& StandInCompilerFile() {
    struct File {
        std::wstring Path;
        File() {
            wchar_t temp[MAX_PATH + 1] = L"";
            GetTempPathW(MAX_PATH + 1, temp);
            Path = std::wstring(temp) + L"cvlstandin" + std::to_wstring(GetCurrentProcessId()) + L".exe";
            WriteStandInCompiler(Path);
        }
        ~File() { DeleteFileW(Path.c_str()); }
    };
    static const File file;
    return file.Path;
}

// The stand-in IDE program (the stand-in compiler under the name delphi32.exe,
// bds.exe or bcb.exe) written to Path and started: it runs until Stop, or until the
// object goes.
class RunningStandInIde {
public:
    explicit RunningStandInIde(const std::wstring& Path) : FPath(Path) {
        EXPECT_TRUE(WriteStandInCompiler(Path));
        std::wstring command = L"\"" + Path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        EXPECT_TRUE(CreateProcessW(Path.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                   nullptr, &startup, &info));
        FProcess.reset(info.hProcess);
        brd::UniqueKernel thread(info.hThread);
        FId = info.dwProcessId;
    }
    ~RunningStandInIde() {
        if (FProcess && WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT) {
            Stop();
            if (WaitForSingleObject(FProcess.get(), 5000) == WAIT_TIMEOUT) TerminateProcess(FProcess.get(), 1);
        }
    }
    RunningStandInIde(const RunningStandInIde&) = delete;
    RunningStandInIde& operator=(const RunningStandInIde&) = delete;

    void Stop() { WriteFileBytes(FPath + L".stop", ""); }
    bool Ended(DWORD ms) { return WaitForSingleObject(FProcess.get(), ms) == WAIT_OBJECT_0; }
    DWORD Id() const { return FId; }

private:
    std::wstring FPath;
    brd::UniqueKernel FProcess;
    DWORD FId = 0;
};

// A stand-in IDE installation in Root (bin\ with the chosen tools, copies of the
// stand-in compiler), made the root directory of catalogue row `row` in Detected as
// detection would.
inline void MakeStandInIde(TDetectedIdes& Detected, int row, const std::wstring& Root, unsigned Tools = AllTools) {
    StandInIdeLayout ide(row, Root);
    ide.Tools = Tools;
    ide.Compilers = StandInCompilerFile();
    ide.Registry = false;
    ide.Help = false;
    std::wstring error;
    ASSERT_TRUE(BuildStandInIde(ide, error)) << Narrow(error);
    Detected[row].RootDir = Root;
    Detected[row].Exists = true;
}

// The stand-in's journal: the environment of this process points it at File, so the
// compilers this process starts report there. Cleared with the object.
class StandInJournal {
public:
    explicit StandInJournal(const std::wstring& File) : FFile(File) {
        DeleteFileW(FFile.c_str());
        SetEnvironmentVariableW(L"CVL_STANDIN_LOG", FFile.c_str());
    }
    ~StandInJournal() {
        for (const wchar_t* name : {L"CVL_STANDIN_LOG", L"CVL_STANDIN_FAIL", L"CVL_STANDIN_HANG", L"CVL_STANDIN_HANG_MS",
                                    L"CVL_STANDIN_SILENT", L"CVL_STANDIN_FLOOD", L"CVL_STANDIN_FLOOD_BYTES",
                                    L"CVL_STANDIN_GARBLE"})
            SetEnvironmentVariableW(name, nullptr);
    }
    StandInJournal(const StandInJournal&) = delete;
    StandInJournal& operator=(const StandInJournal&) = delete;

    // One entry per line: "start", tool, current directory, command line, process id;
    // or "exit", tool, exit code, process id; tab-separated.
    std::vector<std::vector<std::string>> Entries() const {
        std::vector<std::vector<std::string>> entries;
        std::string text = ReadFileBytes(FFile);
        if (text == "<missing>") return entries;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::vector<std::string> fields;
            std::string line = text.substr(start, end - start);
            size_t f = 0;
            for (;;) {
                size_t tab = line.find('\t', f);
                fields.push_back(line.substr(f, tab == std::string::npos ? std::string::npos : tab - f));
                if (tab == std::string::npos) break;
                f = tab + 1;
            }
            entries.push_back(fields);
            start = end + 1;
        }
        return entries;
    }

    // The process ids of the starts, and of the exits the stand-ins wrote themselves.
    std::vector<DWORD> Pids(const char* Kind) const {
        std::vector<DWORD> pids;
        for (const auto& e : Entries())
            if (e.size() >= 4 && e[0] == Kind) pids.push_back(static_cast<DWORD>(strtoul(e.back().c_str(), nullptr, 10)));
        return pids;
    }

    // Waits until every stand-in that started has ended (at most TimeoutMs), on its
    // own or ended from outside, so that no stand-in outlives its test.
    bool WaitAllExited(DWORD TimeoutMs) const {
        for (DWORD waited = 0;; waited += 50) {
            bool all = true;
            for (DWORD pid : Pids("start")) all = all && ProcessGone(pid);
            if (all) return true;
            if (waited >= TimeoutMs) return false;
            Sleep(50);
        }
    }

    // Whether no process with this id runs (any more).
    static bool ProcessGone(DWORD Pid) {
        brd::UniqueKernel process(OpenProcess(SYNCHRONIZE, FALSE, Pid));
        return !process || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    }

private:
    std::wstring FFile;
};

}  // namespace cvltest
