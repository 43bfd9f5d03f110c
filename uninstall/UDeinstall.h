// TDeinstall removes an installation by replaying its uninstall log: it loads the
// log, reads the header, and hands the body records, newest first, to the undo
// actions. Progress goes to a dialog with the wizard frame's controls, or nowhere.
//
// Calling order: construct; optionally set sProductText, flPartialUninstall and
// SetDialogHandle; PrepareUninstFile; only on 0 PrepareDeinstall; only on 0
// DoDeinstall. PrepareDeinstall sets the process-wide InstallDir from the log, and
// DoDeinstall changes CurrentIde, CurrentIdeName and the catalogue's detected
// state: a caller that goes on working restores InstallDir itself.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "uninstall/UnDo.h"

// Results of PrepareUninstFile.
constexpr int32_t duOpenFailed = -2;  // missing or cannot be opened
constexpr int32_t duEmpty = -3;       // empty, or its size cannot be read
constexpr int32_t duNotALog = -4;     // shorter than the magic, or the magic does not match

class TDeinstall {
public:
    TDeinstall() = default;
    virtual ~TDeinstall() = default;
    TDeinstall(const TDeinstall&) = delete;
    TDeinstall& operator=(const TDeinstall&) = delete;

    int32_t PrepareUninstFile(const std::wstring& FileName);
    int32_t SetDialogHandle(HWND ADlgHandle);
    int32_t PrepareDeinstall();
    int32_t DoDeinstall();

    // True when every record of the body reads whole up to the end of the span: a
    // log whose length fields are damaged anywhere, or that ends inside a record,
    // fails. Call after PrepareDeinstall.
    bool BodyIsWhole();

    // The IDE rows (catalogue rows 1..28) that the body's itSetIde records name, each
    // once, in the order of the body. Call after PrepareDeinstall.
    std::vector<int32_t> LoggedIdes();

    // True when the header names an install directory that can be one (a full path
    // of valid characters) and the body holds no header record: a header damaged
    // otherwise would have its body replayed against the wrong folder or in the
    // wrong order. Call after PrepareDeinstall.
    bool HeaderIsSound();

    // What the last DoDeinstall could not remove, and why; empty when it removed
    // everything. While anything is left the uninstall entry and the log stay.
    const std::vector<TLeftOver>& LeftOver() const { return FLeft; }

    // True when the log ends inside a record: the installation that wrote it was
    // stopped in the middle of a write. The records before that one are read as
    // usual; the cut bytes are not. Call after PrepareDeinstall.
    bool LogIsCut() const { return FCutBytes != 0; }

    // Filled from the log for the caller; nothing here reads them.
    std::wstring ProductName;
    std::wstring ProductVersion;
    std::wstring ProductType;
    std::wstring ProductRegKey;
    std::wstring ProductIntName;  // the uninstall entry's key name
    std::wstring sMainText;       // for the caller's own use
    std::wstring sProductText;    // product text of the dialog's first line
    bool flPartialUninstall = false;  // pass over records flagged ifKeepOnPartial

    // The two version digits of the log's magic.
    const std::string& UnInstFileVersion() const { return FUnInstFileVersion; }

private:
    friend struct TDeinstallProbe;  // the tests walk the body record by record

    // The IDE that was current when a record was written.
    struct TIdeContext {
        int32_t Ide = 0;
        std::wstring Name;
    };

    bool ReadNextRecord(std::string& Record);
    size_t BodyFirst() const { return ReadBackward ? PEnd : PBegin; }
    size_t BodyLast() const { return ReadBackward ? PBegin : PEnd; }
    void LeaveOutCutTail();
    void MapIdeContexts();
    void EnterIdeContext(size_t RecordStart);
    void ShowAction(const wchar_t* Text);
    void StartProgress(size_t BodySize);
    void AdvanceProgress(size_t Done);

    bool flWithDialog = false;
    HWND FDlgHandle = nullptr;
    int32_t BufSize = 0;
    std::vector<uint8_t> Buf;  // the whole log
    // Offsets into Buf. Forward reading runs from PBegin up to PEnd; backward
    // reading from PBegin (the end of the file) down to PEnd (the end of the header).
    size_t P = 0;
    size_t PBegin = 0;
    size_t PEnd = 0;
    bool ReadBackward = false;
    std::string FUnInstFileVersion;
    std::wstring FLogFile;         // the log's full path
    std::vector<TLeftOver> FLeft;  // what the last DoDeinstall left
    uint32_t FProgressDivisor = 1;  // keeps a long body inside the bar's 16-bit range
    size_t FCutBytes = 0;           // bytes of a last record cut short, left out of the body
    // By the offset of each record's first byte, for the records read whole from the
    // start of the body in file order: the IDE of the last itSetIde before it.
    std::map<size_t, TIdeContext> FIdeAt;
};
