// Removing an installation by its uninstall log, in two steps.
//
// Reading (ReadUndoLog) takes the log's path and returns what it holds: the header,
// the body's records in the order they are undone, each with the IDE block it
// belongs to, whether the body is whole or cut, and the IDEs it names. Reading
// changes nothing.
//
// Replaying (ReplayUndoLog) undoes those records one by one against the machine and
// tells an observer what it does, the way the script run reports to its observer:
// the window that shows a removal draws the progress, the replay itself draws
// nothing. The records resolve against the install directory of the log's own
// header and the IDE blocks of the log, kept in the replay's own context.
//
// TDeinstall is the reader: construct; optionally set sProductText,
// flPartialUninstall and SetDialogHandle; PrepareUninstFile; only on 0
// PrepareDeinstall; then Content, or DoDeinstall to replay what was read: with a
// dialog handle the uninstaller's window shows the replay (TRemovalProgress),
// else it runs unseen.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "catalogue/URunContext.h"
#include "uninstall/UUndoLog.h"
#include "uninstall/UnDo.h"

// Results of PrepareUninstFile.
constexpr int32_t duOpenFailed = -2;  // missing or cannot be opened
constexpr int32_t duEmpty = -3;       // empty, or its size cannot be read
constexpr int32_t duNotALog = -4;     // shorter than the magic, or the magic does not match

// What the header records of a log name.
struct TUndoLogHeader {
    std::wstring ProductName;
    std::wstring ProductVersion;
    std::wstring ProductType;
    std::wstring InstallDir;  // empty when the log names none
    std::wstring ProductRegKey;
    std::wstring UninstallKey;  // the uninstall entry's key name
    std::string FileVersion;    // the two version digits of the magic
};

// A record of the body and the IDE block it was written in.
struct TLoggedRecord {
    TUndoRecord Record;
    size_t Size = 0;      // its bytes in the log
    bool Placed = false;  // false beyond damage: it keeps the block the records before it left
    int32_t Ide = 0;      // the catalogue row of its block, 0 before any block
    std::wstring IdeFolder;
};

struct TUndoLogContent {
    int32_t Result = duOpenFailed;  // 0, or what PrepareUninstFile returned
    std::wstring LogFile;           // the log's full path
    TUndoLogHeader Header;
    std::vector<TLoggedRecord> Records;  // in the order they are undone
    size_t BodySize = 0;                 // bytes of the body, for a progress bar
    bool Whole = false;                  // every record of the body reads whole
    bool Cut = false;                    // the log ends inside a record
    std::vector<int32_t> Ides;           // the IDE rows its itSetIde records name, each once
};

// Reads the log at Path; nothing else is touched.
TUndoLogContent ReadUndoLog(const std::wstring& Path);

// True when the header names an install directory that can be one (a full path of
// valid characters) and the body holds no header record, or when there is no body
// to replay: a header damaged otherwise would have its body replayed against the
// wrong folder or in the wrong order.
bool HeaderIsSound(const TUndoLogContent& Log);

// Told what a replay does. Every call has a default that does nothing.
class TReplayObserver {
public:
    virtual ~TReplayObserver() = default;
    // Before the first record; BodySize as in TUndoLogContent.
    virtual void ReplayStarting(size_t /*BodySize*/) {}
    // The action line of the record about to be undone ("Skipping" for a kept one).
    virtual void RecordStarting(const std::wstring& /*ActionText*/) {}
    // After a record was undone or passed over; BytesDone counts the body so far.
    virtual void RecordDone(size_t /*BytesDone*/) {}
    // After the last record, on every way out.
    virtual void ReplayEnded() {}
};

// Undoes Log's records in their order; with Partial the records flagged to be kept
// are passed over. An action that cannot undo everything does what it can, and the
// replay goes on; Left lists what stays and why, and what is in use is deleted at
// the next restart (only this form, the uninstaller's, schedules that: a replay
// within a run must find its files again when it is rolled back). While anything is left, the
// uninstall entry, the log and the uninstaller it starts stay, so that the removal
// can be run again. Detects the IDEs first, for itself, so that IDE directory codes
// resolve against the IDEs' roots as they are now. Returns the context the replay
// ended in (without the detection, which ends with the replay).
TRunContext ReplayUndoLog(const TUndoLogContent& Log, bool Partial, TReplayObserver& Observer,
                          std::vector<TLeftOver>& Left);
TRunContext ReplayUndoLog(const TUndoLogContent& Log, bool Partial, TReplayObserver& Observer);

class TDeinstall {
public:
    TDeinstall() = default;
    virtual ~TDeinstall() = default;
    TDeinstall(const TDeinstall&) = delete;
    TDeinstall& operator=(const TDeinstall&) = delete;

    int32_t PrepareUninstFile(const std::wstring& FileName);
    int32_t SetDialogHandle(HWND ADlgHandle);
    int32_t PrepareDeinstall();
    // What was read, as ReadUndoLog returns it. Call after PrepareDeinstall.
    TUndoLogContent Content();
    // Replays what was read (ReplayUndoLog), with flPartialUninstall, reporting to
    // Observer; without one, to the dialog when one was set.
    int32_t DoDeinstall(TReplayObserver& Observer);
    int32_t DoDeinstall();

    // True when every record of the body reads whole up to the end of the span: a
    // log whose length fields are damaged anywhere, or that ends inside a record,
    // fails. Call after PrepareDeinstall.
    bool BodyIsWhole();

    // The IDE rows (catalogue rows 1..28) that the body's itSetIde records name, each
    // once, in the order of the body. Call after PrepareDeinstall.
    std::vector<int32_t> LoggedIdes();

    // True when the log ends inside a record: the installation that wrote it was
    // stopped in the middle of a write. The records before that one are read as
    // usual; the cut bytes are not. Call after PrepareDeinstall.
    bool LogIsCut() const { return FCutBytes != 0; }

    // Filled from the log for the caller; nothing here reads them.
    std::wstring ProductName;
    std::wstring ProductVersion;
    std::wstring ProductType;
    std::wstring ProductRegKey;
    // clang-format off
    std::wstring ProductIntName;  // the uninstall entry's key name
    std::wstring sMainText;       // for the caller's own use
    std::wstring sProductText;    // product text of the dialog's first line
    // clang-format on
    bool flPartialUninstall = false;  // pass over records flagged ifKeepOnPartial

    // The install directory the log's header names; empty when it names none.
    const std::wstring& InstallDir() const { return FInstallDir; }
    // Where the last replay ended: the IDE block of the record undone last.
    const TRunContext& Context() const { return FRun; }
    // What the last replay could not remove, and why; empty when it removed all.
    const std::vector<TLeftOver>& LeftOver() const { return FLeft; }

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
    TLoggedRecord Placed(const TUndoRecord& Record, size_t Start, size_t Size) const;

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
    std::wstring FInstallDir;
    std::wstring FLogFile;  // the log's full path
    TRunContext FRun;
    std::vector<TLeftOver> FLeft;
    size_t FCutBytes = 0;  // bytes of a last record cut short, left out of the body
    // By the offset of each record's first byte, for the records read whole from the
    // start of the body in file order: the IDE of the last itSetIde before it.
    std::map<size_t, TIdeContext> FIdeAt;
};
