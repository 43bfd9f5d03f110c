// Small tables run through the engine the way the progress page runs the script,
// and the text log the run leaves in the install directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Scratch.h"
#include "script/UScript.h"
#include "script/UScriptItems.h"
#include "script/UScriptRun.h"
#include "support/UConst.h"

namespace cvltest {

// Runs every row as the progress page does; returns the row results, and appends
// each row's LogString to Texts when given.
inline std::vector<int32_t> RunAsProgressPage(const std::vector<TScriptItem>& Rows,
                                              std::vector<std::wstring>* Texts = nullptr) {
    std::vector<int32_t> results;
    TScript script(Rows.data(), static_cast<int32_t>(Rows.size()));
    script.Start();
    while (script.Current < script.Count()) {
        results.push_back(script.ItemDoScript());
        if (Texts) Texts->push_back(script.LogString());
        script.Current += script.ItemProgressStep();
    }
    CommitRun();
    return results;
}

// InstallDir\install.log as text: UTF-16LE without a byte-order mark.
inline std::wstring InstallLogText() {
    std::string bytes = ReadFileBytes(InstallDir + L"\\install.log");
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

}  // namespace cvltest
