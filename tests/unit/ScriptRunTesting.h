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

// Runs every row with Plan as the progress page does, on a machine without IDEs; returns the row results,
// appends each row's LogString to Texts and stores the plan as the run used it in
// Used, when given.
inline std::vector<int32_t> RunAsProgressPage(const TInstallPlan& Plan, const std::vector<TScriptItem>& Rows,
                                              std::vector<std::wstring>* Texts = nullptr,
                                              TInstallPlan* Used = nullptr) {
    std::vector<int32_t> results;
    TScript script(Plan, TDetectedIdes{}, Rows.data(), static_cast<int32_t>(Rows.size()));
    script.Start();
    while (script.Current < script.Count()) {
        results.push_back(script.ItemDoScript());
        if (Texts) Texts->push_back(script.LogString());
        script.Current += script.ItemProgressStep();
    }
    if (Used) *Used = script.Plan();
    CommitRun();
    return results;
}

// Dir\install.log as text: UTF-16LE without a byte-order mark.
inline std::wstring InstallLogText(const std::wstring& Dir) {
    std::string bytes = ReadFileBytes(Dir + L"\\install.log");
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

}  // namespace cvltest
