#include "uninstall/UDeinstall.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "catalogue/UProducts.h"
#include "support/UItemTypes.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/UProduct.h"
#include "support/WinHandles.h"
#include "uninstall/UUninstaller.h"
#include "uninstall/UnDo.h"

namespace {

inline constexpr const wchar_t* SkippingText = L"Skipping";

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
    // A log without an install directory resolves its records against none.
    FInstallDir.clear();
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
            case hcInstallDir: FInstallDir = record.RecordName(); break;
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
TLoggedRecord TDeinstall::Placed(const TUndoRecord& Record, size_t Start, size_t Size) const {
    TLoggedRecord logged{Record, Size, false, 0, L""};
    auto context = FIdeAt.find(Start);
    if (context == FIdeAt.end()) return logged;
    logged.Placed = true;
    logged.Ide = context->second.Ide;
    logged.IdeFolder = context->second.Name;
    return logged;
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

TUndoLogContent TDeinstall::Content() {
    TUndoLogContent content;
    content.Result = 0;
    content.LogFile = FLogFile;
    content.Header = {ProductName, ProductVersion, ProductType, FInstallDir, ProductRegKey, ProductIntName,
                      FUnInstFileVersion};
    content.BodySize = ReadBackward ? PBegin - PEnd : PEnd - PBegin;
    P = PBegin;
    std::string bytes;
    TUndoRecord record;
    while (ReadNextRecord(bytes) && DecodeUndoRecord(bytes, record))
        content.Records.push_back(Placed(record, ReadBackward ? P : P - bytes.size(), bytes.size()));
    P = PBegin;
    content.Whole = BodyIsWhole();
    content.Cut = LogIsCut();
    content.Ides = LoggedIdes();
    return content;
}

int32_t TDeinstall::DoDeinstall(TReplayObserver& Observer) {
    FRun = ReplayUndoLog(Content(), flPartialUninstall, Observer, FLeft);
    return 0;
}

int32_t TDeinstall::DoDeinstall() {
    if (flWithDialog) {
        TRemovalProgress window(FDlgHandle, sProductText);
        return DoDeinstall(window);
    }
    TReplayObserver quiet;
    return DoDeinstall(quiet);
}

TUndoLogContent ReadUndoLog(const std::wstring& Path) {
    TDeinstall reader;
    TUndoLogContent content;
    content.Result = reader.PrepareUninstFile(Path);
    if (content.Result != 0 || reader.PrepareDeinstall() != 0) return content;
    return reader.Content();
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

bool HeaderIsSound(const TUndoLogContent& Log) {
    // An installation stopped before its first row leaves a header, or part of one,
    // and nothing to undo.
    if (Log.Records.empty()) return true;
    if (!IsSoundDirectory(Log.Header.InstallDir)) return false;
    for (const TLoggedRecord& logged : Log.Records)
        if (logged.Record.Type() == itLogConst) return false;
    return true;
}

namespace {

TRunContext Replay(const TUndoLogContent& Log, bool Partial, TReplayObserver& Observer, bool DeleteAtRestart,
                   std::vector<TLeftOver>& Left) {
    // Directory codes of the IDEs resolve against their current roots.
    const TDetectedIdes detected = DetectProducts();
    TRunContext run = RunContextIn(Log.Header.InstallDir);
    run.Detected = &detected;
    // The uninstall entry goes last, and only when nothing is left, so that the user
    // can run the removal again from the list of programs.
    TUndoLedger ledger;
    ledger.UninstallKey = Log.Header.UninstallKey;
    ledger.DeleteAtRestart = DeleteAtRestart;
    if (!Log.LogFile.empty()) ledger.KeepWhileLeft.push_back(Log.LogFile);
    std::vector<std::pair<TUndoRecord, TRunContext>> entries;
    Observer.ReplayStarting(Log.BodySize);
    std::wstring actionText;  // the last type's text; types without one keep it
    size_t done = 0;
    for (const TLoggedRecord& logged : Log.Records) {
        const TUndoRecord& record = logged.Record;
        if (Partial && (record.TypeId & ifKeepOnPartial)) {
            Observer.RecordStarting(SkippingText);
        } else {
            if (const wchar_t* text = UndoActionText(record.TypeId)) actionText = text;
            Observer.RecordStarting(actionText);
            if (logged.Placed) run.Ide = IdeBlock(logged.Ide, logged.IdeFolder, run);
            if (record.Type() == itRegisterUninstall) {
                entries.emplace_back(record, run);
                const std::wstring uninstaller = RecordPath(record, run);
                if (!uninstaller.empty()) ledger.KeepWhileLeft.push_back(uninstaller);
            } else {
                UndoRecord(record, run, ledger);
            }
        }
        done += logged.Size;
        Observer.RecordDone(done);
    }
    if (ledger.Left.empty())
        for (auto& entry : entries) UndoRecord(entry.first, entry.second, ledger);
    Observer.ReplayEnded();
    Left = ledger.Left;
    run.Detected = nullptr;  // the detection goes with the replay
    return run;
}

}  // namespace

TRunContext ReplayUndoLog(const TUndoLogContent& Log, bool Partial, TReplayObserver& Observer,
                          std::vector<TLeftOver>& Left) {
    return Replay(Log, Partial, Observer, true, Left);
}

TRunContext ReplayUndoLog(const TUndoLogContent& Log, bool Partial, TReplayObserver& Observer) {
    std::vector<TLeftOver> left;
    return Replay(Log, Partial, Observer, false, left);
}
