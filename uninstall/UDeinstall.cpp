#include "uninstall/UDeinstall.h"

#include <commctrl.h>

#include <cwchar>

#include "catalogue/UProducts.h"
#include "resources/UResourceIds.h"
#include "support/UConst.h"
#include "support/UItemTypes.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"
#include "uninstall/UUndoLog.h"
#include "uninstall/UnDo.h"

namespace {

// With a dialog every record takes this long, so that the user can follow the run.
constexpr DWORD RecordPauseMs = 50;
// The progress bar's range is 16 bits wide.
constexpr size_t ProgressRangeMax = 0xFFFF;

inline constexpr const wchar_t* SkippingText = L"Skipping";

// Cancel stays disabled while records are undone and comes back on every way out.
class TCancelDisabled {
public:
    explicit TCancelDisabled(HWND dlg) : FDlg(dlg) {
        if (FDlg) EnableWindow(GetDlgItem(FDlg, idcCancel), FALSE);
    }
    ~TCancelDisabled() {
        if (FDlg) EnableWindow(GetDlgItem(FDlg, idcCancel), TRUE);
    }
    TCancelDisabled(const TCancelDisabled&) = delete;
    TCancelDisabled& operator=(const TCancelDisabled&) = delete;

private:
    HWND FDlg;
};

}  // namespace

int32_t TDeinstall::PrepareUninstFile(const std::wstring& FileName) {
    brd::UniqueFile file(
        CreateFileW(FileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return duOpenFailed;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) return duEmpty;
    BufSize = static_cast<int32_t>(size.QuadPart);
    Buf.assign(static_cast<size_t>(BufSize), 0);
    DWORD read = 0;
    if (!ReadFile(file.get(), Buf.data(), static_cast<DWORD>(Buf.size()), &read, nullptr) || read != Buf.size())
        return duEmpty;
    if (!IsUndoLogMagic(Buf.data(), Buf.size())) return duNotALog;
    FLogFile = GetFullPath(FileName);
    FUnInstFileVersion.assign(reinterpret_cast<const char*>(&Buf[UndoLogMagicPrefixSize]), 2);
    return 0;
}

int32_t TDeinstall::SetDialogHandle(HWND ADlgHandle) {
    FDlgHandle = ADlgHandle;
    flWithDialog = ADlgHandle != nullptr;
    return 0;
}

int32_t TDeinstall::PrepareDeinstall() {
    P = PBegin = UndoLogMagicSize;
    PEnd = Buf.size();
    ReadBackward = false;
    // A log without an install directory must not resolve its records against the
    // directory the caller happened to have set.
    InstallDir.clear();
    std::string bytes;
    TUndoRecord record;
    while (ReadNextRecord(bytes) && DecodeUndoRecord(bytes, record)) {
        if (record.Type() != itLogConst) {
            P -= bytes.size();  // no marker: the body is read forward from this record
            PBegin = P;
            break;
        }
        switch (record.Code) {
            case hcProductName: ProductName = record.RecordName(); break;
            case hcProductVersion: ProductVersion = record.RecordName(); break;
            case hcProductType: ProductType = record.RecordName(); break;
            case hcInstallDir: InstallDir = record.RecordName(); break;
            case hcProductRegKey: ProductRegKey = record.RecordName(); break;
            case hcUninstallKey: ProductIntName = record.RecordName(); break;
            case hcReadBackward:
                ReadBackward = true;
                PBegin = PEnd;
                PEnd = P;
                break;
            default: break;  // a header code of a later format
        }
        if (ReadBackward) break;
    }
    LeaveOutCutTail();
    MapIdeContexts();
    return 0;
}

// Every record is written with one write, so an installation that is stopped leaves
// whole records, unless it stopped in the middle of that write: then the file ends
// inside its last record, whose head asks for more bytes than are left and whose
// end is no record's end. Those bytes are left out and the records before them are
// undone. Damage anywhere else is not a cut: the reading ends at it as before.
void TDeinstall::LeaveOutCutTail() {
    const size_t first = BodyFirst(), last = BodyLast();
    size_t pos = first;
    while (size_t length = ForwardRecordLength(Buf, pos, first, last)) pos += length;
    const size_t left = last - pos;
    if (left == 0 || BackwardRecordLength(Buf, last, first, last) != 0) return;  // whole at its end
    if (left >= UndoRecordHeadSize) {
        size_t wanted = (Buf[pos + UndoNameLengthOffset] | Buf[pos + UndoNameLengthOffset + 1] << 8) + UndoRecordOverhead;
        if (wanted <= left) return;
    }
    FCutBytes = left;
    (ReadBackward ? PBegin : PEnd) = pos;
}

// An IDE block's records act on the IDE its opening itSetIde names. Read backward,
// the block's closing itSetIde would set it, but a log cut inside a block has none;
// so each record gets the IDE of the last itSetIde before it in file order, none
// before the first. For a complete log that is the IDE the closing records give.
void TDeinstall::MapIdeContexts() {
    FIdeAt.clear();
    const size_t first = BodyFirst(), last = BodyLast();
    TIdeContext current;
    TUndoRecord record;
    for (size_t pos = first; size_t length = ForwardRecordLength(Buf, pos, first, last); pos += length) {
        FIdeAt[pos] = current;
        if (!DecodeUndoRecord(std::string(reinterpret_cast<const char*>(&Buf[pos]), length), record)) break;
        if (record.Type() == itSetIde) current = {static_cast<int32_t>(record.Code), record.RecordName()};
    }
}

// Records beyond damage in the middle of the body cannot be placed in their block:
// they keep whatever IDE the records undone before them left current.
void TDeinstall::EnterIdeContext(size_t RecordStart) {
    auto context = FIdeAt.find(RecordStart);
    if (context == FIdeAt.end()) return;
    CurrentIde = context->second.Ide;
    CurrentIdeName = context->second.Name;
}

bool TDeinstall::ReadNextRecord(std::string& Record) {
    Record.clear();
    size_t length = ReadBackward ? BackwardRecordLength(Buf, P, PEnd, PBegin) : ForwardRecordLength(Buf, P, PBegin, PEnd);
    if (length == 0) return false;
    if (ReadBackward) P -= length;
    Record.assign(reinterpret_cast<const char*>(&Buf[P]), length);
    if (!ReadBackward) P += length;
    return true;
}

bool TDeinstall::BodyIsWhole() {
    P = PBegin;
    std::string record;
    while (ReadNextRecord(record)) {
    }
    bool whole = P == PEnd;
    P = PBegin;
    return whole;
}

namespace {

bool IsSoundDirectory(const std::wstring& dir) {
    if (!IsFullPath(dir)) return false;
    for (size_t i = 0; i < dir.size(); ++i) {
        const wchar_t c = dir[i];
        if (c < 0x20 || c == 0xFFFD || wcschr(L"<>\"|?*", c) || (c == L':' && i != 1)) return false;
    }
    return true;
}

}  // namespace

bool TDeinstall::HeaderIsSound() {
    if (!IsSoundDirectory(InstallDir)) return false;
    bool sound = true;
    P = PBegin;
    std::string bytes;
    TUndoRecord record;
    while (sound && ReadNextRecord(bytes) && DecodeUndoRecord(bytes, record)) sound = record.Type() != itLogConst;
    P = PBegin;
    return sound;
}

std::vector<int32_t> TDeinstall::LoggedIdes() {
    std::vector<int32_t> rows;
    P = PBegin;
    std::string bytes;
    TUndoRecord record;
    while (ReadNextRecord(bytes) && DecodeUndoRecord(bytes, record)) {
        const auto row = static_cast<int32_t>(record.Code);
        if (record.Type() != itSetIde || row < 1 || row > ProductCount) continue;
        bool known = false;
        for (int32_t seen : rows) known = known || seen == row;
        if (!known) rows.push_back(row);
    }
    P = PBegin;
    return rows;
}

void TDeinstall::ShowAction(const wchar_t* Text) {
    if (!flWithDialog) return;
    SetDlgItemTextW(FDlgHandle, idcStatusLine, Text);
}

void TDeinstall::StartProgress(size_t BodySize) {
    FProgressDivisor = static_cast<uint32_t>(BodySize / (ProgressRangeMax + 1) + 1);
    size_t top = BodySize / FProgressDivisor;
    HWND bar = GetDlgItem(FDlgHandle, idcProgressBar);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, top > 1 ? top - 1 : 1));
    SendMessageW(bar, PBM_SETPOS, 0, 0);
}

void TDeinstall::AdvanceProgress(size_t Done) {
    SendMessageW(GetDlgItem(FDlgHandle, idcProgressBar), PBM_SETPOS, Done / FProgressDivisor, 0);
}

int32_t TDeinstall::DoDeinstall() {
    if (flWithDialog) {
        std::wstring text = L"Performing uninstall of the \"" + sProductText + L"\"...";
        SetDlgItemTextW(FDlgHandle, idcPageText, text.c_str());
    }
    DetectProducts();  // directory codes of the IDEs resolve against their current roots
    size_t bodySize = ReadBackward ? PBegin - PEnd : PEnd - PBegin;
    if (flWithDialog) {
        for (int id : {idcProgressGroup, idcProgressBar, idcStatusLine}) ShowWindow(GetDlgItem(FDlgHandle, id), SW_SHOW);
        EnableWindow(GetDlgItem(FDlgHandle, idcNext), FALSE);
        StartProgress(bodySize);
    }
    TCancelDisabled cancel(flWithDialog ? FDlgHandle : nullptr);
    if (flWithDialog) UpdateWindow(FDlgHandle);

    std::wstring actionText;  // the last type's text; types without one keep it
    size_t done = 0;
    // The uninstall entry goes last, and only when nothing is left, so that the user
    // can run the removal again from the list of programs.
    TUndoRun run;
    run.UninstallKey = ProductIntName;
    if (!FLogFile.empty()) run.KeepWhileLeft.push_back(FLogFile);
    std::vector<TUndoRecord> entries;
    P = PBegin;
    std::string bytes;
    TUndoRecord record;
    while (ReadNextRecord(bytes) && DecodeUndoRecord(bytes, record)) {
        if (flPartialUninstall && (record.TypeId & ifKeepOnPartial)) {
            ShowAction(SkippingText);
        } else {
            if (const wchar_t* text = UndoActionText(record.TypeId)) actionText = text;
            ShowAction(actionText.c_str());
            EnterIdeContext(ReadBackward ? P : P - bytes.size());
            if (record.Type() == itRegisterUninstall) {
                entries.push_back(record);
                const std::wstring uninstaller = RecordPath(record);
                if (!uninstaller.empty()) run.KeepWhileLeft.push_back(uninstaller);
            } else {
                UndoRecord(record, run);
            }
        }
        if (flWithDialog) {
            Sleep(RecordPauseMs);
            done += bytes.size();
            AdvanceProgress(done);
            // The window is not pumped while records are undone; repaint what changed.
            UpdateWindow(FDlgHandle);
        }
    }
    if (run.Left.empty())
        for (const TUndoRecord& entry : entries) UndoRecord(entry, run);
    FLeft = run.Left;
    return 0;
}
