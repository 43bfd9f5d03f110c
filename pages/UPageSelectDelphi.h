// Page 2: the environments and optional parts to install, preset from detection and
// from the record of a previous installation. Owns the check list on list box 1013
// and opens the Customize dialog (resource 900), owned by the frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"
#include "pages/UPage.h"

class TbrdCheckListBox;

class TPageSelectDelphi : public TPage {
public:
    // Plan, Selection and Detected belong to whoever runs the wizard and outlive the page.
    TPageSelectDelphi(TInstallPlan& Plan, TSelectionList& Selection, TDetectedIdes& Detected);
    ~TPageSelectDelphi() override;
    TPageShow Show() override;
    int32_t Hide() override;
    int32_t DlgProc(UINT Msg, WPARAM wParam, LPARAM lParam) override;
    // Next with an IDE that was never started asks whether to go on with files only.
    bool MayLeave(int32_t Step) override;

    void CheckClick(TbrdCheckListBox* Sender);
    void CustomizeOnClick(TbrdCheckListBox* Sender);

private:
    void LoadPreviousInstall();
    void ShowCustomizeDialog();
    uint32_t CheckedMask() const;
    void EnableNextByChecks() const;

    TInstallPlan& FPlan;
    TSelectionList& FSelection;
    TDetectedIdes& FDetected;          // detected and preselected when the page is first shown
    int32_t FPrevInstallSelected = 0;  // "InstallVersions" of the previous installation
    int32_t FPrevInstallItems = 0;     // "InstallItems" of the previous installation
    std::wstring FPrevVersion;
    bool FFirstShow = true;
    std::unique_ptr<TbrdCheckListBox> CLB;
};

// The Customize dialog's list: bit i of CustomizeItems belongs to row i.
struct TCustomizeEntry {
    const wchar_t* Caption;
    const wchar_t* Description;
};
extern const std::vector<TCustomizeEntry> CustomizeEntries;

// The selection list, as the page fills it and reads it back into Plan.
void FillSelectionList(TbrdCheckListBox& List, const TSelectionList& Selection, const TDetectedIdes& Detected);
void StoreSelectionList(const TbrdCheckListBox& List, TSelectionList& Selection, TInstallPlan& Plan);
