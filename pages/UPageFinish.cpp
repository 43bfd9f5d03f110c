#include "pages/UPageFinish.h"

#include "catalogue/UInstallRecord.h"
#include "resources/UResourceIds.h"
#include "script/UScriptRun.h"
#include "support/UProduct.h"

std::wstring FinishText() {
    return std::wstring(L"Setup has finished installing ") + EditionText + L" of " + ProductName + L" v" +
           ProductVersion + L" on you computer." + L"\r\n\r\n" + L"Click Finish to exit Setup.";
}

std::wstring FailureSummary(const TRunOutcome& Outcome) {
    if (Outcome.Failures == 0) return L"";
    std::wstring text = Outcome.Failures == 1 ? std::wstring(L"1 step of the installation failed")
                                              : std::to_wstring(Outcome.Failures) + L" steps of the installation failed";
    for (size_t i = 0; i < Outcome.Ides.size(); ++i)
        text += (i == 0 ? L", for " : i + 1 == Outcome.Ides.size() ? L" and "
                                                                   : L", ") +
                Outcome.Ides[i];
    text += L".";
    if (!Outcome.LogPath.empty()) text += L" What failed is listed in " + Outcome.LogPath + L".";
    return text;
}

TPageShow TPageFinish::Show() {
    ShowItem(idcBack, false);
    ShowItem(idcNext, false);
    ShowItem(idcStatusLine, true);
    SetFocus(Item(IDCANCEL));
    SendMessageW(Item(IDCANCEL), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    const bool saved = SaveInstallState();
    CommitRun();  // the run is complete: a record that failed is reported like a failing row
    if (!saved) FOutcome.Failures += 1;
    const std::wstring summary = FailureSummary(FOutcome);
    SetItemText(idcPageText, summary.empty() ? FinishText() : FinishText() + L"\r\n\r\n" + summary);
    SetItemText(IDCANCEL, L"Finish");
    return saved ? TPageShow::Shown : TPageShow::Failed;
}

bool TPageFinish::SaveInstallState() { return WriteInstallRecord(CurrentInstallRecord(FPlan)); }
