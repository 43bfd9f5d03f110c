// Page 2: which environments and optional parts to install. The list is preset from
// detection and from the record of a previous installation, and turned into the
// environment and item masks when the page is left.
#include "pages/UPageSelectDelphi.h"

#include "catalogue/UIdeState.h"
#include "catalogue/UInstallChoice.h"
#include "catalogue/UInstallRecord.h"
#include "catalogue/UProducts.h"
#include "controls/UbrdCheckListBox.h"
#include "resources/UResourceIds.h"
#include "support/UProduct.h"

// A single row without text: the dialog exists, but this edition offers nothing to
// customise, so the plan's CustomizeItems travels from the registry to the script unchanged.
const std::vector<TCustomizeEntry> CustomizeEntries = {
    //  Caption  Description
    {L"", L""},
};

namespace {

constexpr int MaskBits = 32;

std::wstring PreviousVersionText() {
    return std::wstring(L"The previous version of ") + ProductName + L" was found. Click to \"Next\" button for update it.";
}

std::wstring QuestionText() {
    return std::wstring(L"Which versions of Delphi and/or CBuilder will you be installing ") + ProductName + L" to ?";
}

// An entry without an environment (help files, demos) is always available.
bool EntryAvailable(const TSelectionItem& Entry, const TDetectedIdes& Detected) {
    const int row = ProductRowById(Entry.ProductId);
    return row == 0 || Detected[static_cast<size_t>(row)].Exists;
}

// Bit i for checked entry i, over at most 32 entries.
int32_t CheckedBits(const TbrdCheckListBox& List) {
    uint32_t bits = 0;
    for (int32_t i = 0; i < List.Count() && i < MaskBits; ++i)
        if (List.GetChecked(i)) bits |= 1u << i;
    return static_cast<int32_t>(bits);
}

// The environment mask of the checked entries, as leaving the page will store it.
int32_t CheckedVersions(const TbrdCheckListBox& List, const TSelectionList& Selection) {
    int32_t mask = 0;
    for (size_t i = 0; i < Selection.size() && static_cast<int32_t>(i) < List.Count(); ++i)
        if (List.GetChecked(static_cast<int32_t>(i))) mask |= Selection[i].ProductId;
    return mask;
}

// ---------------------------------------------------------------- Customize dialog

// One opening of the Customize dialog: the page that opened it, the plan's items it
// edits and its list. It lives while the dialog does, in the dialog's user data.
struct TCustomizeDialog {
    TPageSelectDelphi& Page;
    int32_t& Items;
    std::unique_ptr<TbrdCheckListBox> List;
};

TCustomizeDialog* CustomizeOf(HWND Wnd) { return reinterpret_cast<TCustomizeDialog*>(GetWindowLongPtrW(Wnd, DWLP_USER)); }

BOOL CustomizeInitDialog(HWND Wnd, TCustomizeDialog* Dialog) {
    if (!Dialog) {
        EndDialog(Wnd, IDCANCEL);
        return TRUE;
    }
    SetWindowLongPtrW(Wnd, DWLP_USER, reinterpret_cast<LONG_PTR>(Dialog));
    Dialog->List = std::make_unique<TbrdCheckListBox>(GetDlgItem(Wnd, idcCustomizeList));
    TbrdCheckListBox& list = *Dialog->List;
    list.Clear();
    for (const TCustomizeEntry& entry : CustomizeEntries) list.Add(entry.Caption);
    const int32_t items = Dialog->Items;
    if (items != 0)
        for (int32_t i = 0; i < list.Count() && i < MaskBits; ++i)
            if ((items & static_cast<int32_t>(1u << i)) > 0) list.SetChecked(i, true);
    TPageSelectDelphi* page = &Dialog->Page;
    list.SetOnClick([page](TbrdCheckListBox* Sender) { page->CustomizeOnClick(Sender); });
    if (list.Count() > 0) {
        list.SetSelected(0);
        page->CustomizeOnClick(&list);
        SetFocus(list.Handle());
    }
    return TRUE;
}

// The box goes with its dialog, so that every opening starts with a fresh one.
void ReleaseCustomizeDialog(HWND Wnd) {
    if (TCustomizeDialog* dialog = CustomizeOf(Wnd)) dialog->List.reset();
    SetWindowLongPtrW(Wnd, DWLP_USER, 0);
}

BOOL CustomizeCommand(HWND Wnd, WPARAM wParam) {
    TCustomizeDialog* dialog = CustomizeOf(Wnd);
    switch (LOWORD(wParam)) {
        case IDOK:
        case idcCustomizeOk:
            if (dialog && dialog->List) dialog->Items = CheckedBits(*dialog->List);
            [[fallthrough]];
        case IDCANCEL:
        case idcCustomizeCancel:
            ReleaseCustomizeDialog(Wnd);
            EndDialog(Wnd, static_cast<INT_PTR>(wParam));
            return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK CustomizeDlgProc(HWND Wnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_INITDIALOG: return CustomizeInitDialog(Wnd, reinterpret_cast<TCustomizeDialog*>(lParam));
        case WM_COMMAND: return CustomizeCommand(Wnd, wParam);
        case WM_DESTROY:
            ReleaseCustomizeDialog(Wnd);
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

// ---------------------------------------------------------------- the list

void FillSelectionList(TbrdCheckListBox& List, const TSelectionList& Selection, const TDetectedIdes& Detected) {
    List.Clear();
    for (const TSelectionItem& entry : Selection) {
        int32_t index = List.Add(entry.Caption);
        if (index < 0) continue;
        List.SetEnabled(index, EntryAvailable(entry, Detected));
        if (entry.Checked) List.SetChecked(index, true);
    }
}

// An entry missing from the list counts as unchecked.
void StoreSelectionList(const TbrdCheckListBox& List, TSelectionList& Selection, TInstallPlan& Plan) {
    int32_t count = List.Count();
    for (size_t i = 0; i < Selection.size(); ++i) {
        auto index = static_cast<int32_t>(i);
        Selection[i].Checked = index < count && List.GetChecked(index);
    }
    ApplySelection(Selection, Plan);
}

// ---------------------------------------------------------------- the page

TPageSelectDelphi::TPageSelectDelphi(TInstallPlan& Plan, TSelectionList& Selection, TDetectedIdes& Detected)
    : FPlan(Plan), FSelection(Selection), FDetected(Detected) {}

TPageSelectDelphi::~TPageSelectDelphi() = default;

void TPageSelectDelphi::LoadPreviousInstall() {
    TPreviousInstall previous = PrepareSelection(FPlan, FSelection, FDetected);
    FPrevInstallSelected = previous.InstallVersions;
    FPrevVersion = previous.Version;
    FPrevInstallItems = previous.InstallItems;
}

TPageShow TPageSelectDelphi::Show() {
    if (FFirstShow) {
        CLB = std::make_unique<TbrdCheckListBox>(Item(idcIdeList));
        CLB->SetOnCheckClick([this](TbrdCheckListBox* Sender) { CheckClick(Sender); });
        LoadPreviousInstall();
        FFirstShow = false;
    }
    SizePageText(3);
    const std::wstring text = IsRecordedMask(FPrevInstallSelected) ? PreviousVersionText() : QuestionText();
    SetItemText(idcPageText, text);
    CLB->SetAccessibleName(text);  // the page text lies behind the list, so nothing else names it
    ShowItem(idcPageText, true);
    ShowItem(idcIdeList, true);
    FillSelectionList(*CLB, FSelection, FDetected);
    SetFocus(Item(idcIdeList));
    ShowItem(idcCustomize, false);
    EnableNextByChecks();
    return TPageShow::Shown;
}

int32_t TPageSelectDelphi::Hide() {
    ShowItem(idcIdeList, false);
    ShowItem(idcCustomize, false);
    if (CLB) StoreSelectionList(*CLB, FSelection, FPlan);
    return 1;
}

bool TPageSelectDelphi::MayLeave(int32_t Step) {
    if (Step < 0 || !CLB) return true;
    const int32_t neverStarted = NeverStartedVersions(CheckedVersions(*CLB, FSelection));
    if (neverStarted != 0 && MessageBoxW(DlgHandle, NeverStartedText(neverStarted).c_str(), L"Install",
                                         MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return false;
    FPlan.FilesOnlyVersions = neverStarted;
    return true;
}

int32_t TPageSelectDelphi::DlgProc(UINT Msg, WPARAM wParam, LPARAM) {
    if (Msg == WM_COMMAND && LOWORD(wParam) == idcCustomize) {
        ShowCustomizeDialog();
        return 1;
    }
    if (LOWORD(wParam) == idcIdeList) {
        EnableNextByChecks();
        return 1;
    }
    return 0;
}

void TPageSelectDelphi::CheckClick(TbrdCheckListBox*) { EnableNextByChecks(); }

void TPageSelectDelphi::CustomizeOnClick(TbrdCheckListBox* Sender) {
    int32_t index = Sender ? Sender->Selected() : -1;
    if (index < 0 || static_cast<size_t>(index) >= CustomizeEntries.size()) return;
    SetDlgItemTextW(GetParent(Sender->Handle()), idcCustomizeDescription, CustomizeEntries[static_cast<size_t>(index)].Description);
}

// Only whether any entry is checked matters.
uint32_t TPageSelectDelphi::CheckedMask() const {
    uint32_t mask = 0;
    if (!CLB) return mask;
    for (int32_t i = 0; i < CLB->Count(); ++i)
        if (CLB->GetChecked(i)) mask |= 1u << (i % MaskBits);
    return mask;
}

void TPageSelectDelphi::EnableNextByChecks() const { EnableWindow(Item(idcNext), CheckedMask() != 0); }

void TPageSelectDelphi::ShowCustomizeDialog() {
    // Owned by the frame, which waits disabled until the dialog ends.
    TCustomizeDialog dialog{*this, FPlan.CustomizeItems, nullptr};
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CUSTOMIZE), DlgHandle,
                                     CustomizeDlgProc, reinterpret_cast<LPARAM>(&dialog));
    if (result < 0) MessageBoxW(DlgHandle, L"Error in create Customize dialog", L"Error", MB_OK);
}
