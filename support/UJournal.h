// The rollback journal of a run: before the run removes or changes anything it did
// not create itself, the old state is written here first and flushed (write-ahead):
// a file's bytes, a folder tree, a registry value with its type and data, a key
// tree, or the note that the thing was not there. Until the run commits, the
// journal can put the machine back exactly: its records are applied newest first,
// each one setting its target to the state it had before the run touched it.
//
// The journal lives below the common application data folder, away from any
// installation folder, as one file of records and the kept copies beside it.
// Format: the magic "CVLJ", a 16-bit version, then records, each a 32-bit length,
// the body and a 32-bit checksum of the body. A record is written with one write
// and flushed before the change it guards, so a run stopped in the middle of a
// write leaves a cut last record whose change never happened: the reader stops at
// the first record that is cut or does not match its checksum.
//
// Every write path of a run calls one of the Keep functions first and makes its
// change only when it returns true. With no journal open they do nothing and
// return true, so the same code serves the extraction, the uninstaller and the
// tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------- keeping

// Before a file is written, replaced, edited or deleted.
bool KeepFileBeforeChange(const std::wstring& Path);
// Before a file is deleted: as KeepFileBeforeChange, but deleting a file that is not
// there changes nothing and is not recorded.
bool KeepFileBeforeDeletion(const std::wstring& Path);
// A file the run has just created by a call that cannot be asked first (a new
// temporary file name): the rollback removes it.
bool NoteFileCreated(const std::wstring& Path);
// Before the file Beside is made to be moved over Target (a whole write): a run
// stopped before the move leaves it, and the rollback removes it. The record kept
// for Target covers it already (its rollback removes the file beside too); only a
// target the journal does not know gets a record for it.
bool NoteBesideFile(const std::wstring& Target, const std::wstring& Beside);
// Before a folder is created: the shallowest level of Dir that is missing.
bool KeepDirBeforeCreation(const std::wstring& Dir);
// Before a folder tree is removed or emptied. A tree of plain files and folders on
// the journal's volume is kept by moving it into the journal (Moved is then true:
// the tree is gone already); any other is copied.
bool KeepTreeBeforeRemoval(const std::wstring& Dir, bool* Moved = nullptr);
// Before a registry value is set or deleted (the 32-bit view, as URegistry works).
bool KeepRegValueBeforeChange(HKEY Root, const std::wstring& Key, const std::wstring& Name);
// Before a key is created: the shallowest level of Key that is missing.
bool KeepRegKeyBeforeCreation(HKEY Root, const std::wstring& Key);
// Before a key tree is removed, or before something outside this process (a batch
// file) may change anything below it: the whole tree, or that it was not there.
bool KeepRegTree(HKEY Root, const std::wstring& Key);

// ---------------------------------------------------------------- one run

// Where the journal of this machine lives; empty when the folder is unknown.
std::wstring JournalFolder();
std::wstring JournalFile();
// For the test programs: called after each record the open journal has written
// and flushed, with their count so far.
using TJournalWrittenHook = void (*)(uint32_t Records);
extern TJournalWrittenHook JournalWrittenHook;
// For the test programs: called by JournalCommit once the journal file is gone and
// before its copies are.
extern void (*JournalCommittingHook)();

// Whether a journal that was not committed is on the machine.
bool JournalLeftOver();

// Opens a new journal; false (and nothing open) when it cannot be created. A
// journal left over must have been rolled back first.
bool JournalBegin();
bool JournalIsOpen();
// Notes the run's own uninstall log, once it exists: a rollback replays it first.
bool JournalNoteRunLog(const std::wstring& Path);
// The run is complete: the journal and its copies are deleted.
void JournalCommit();
// Closes the open journal without committing it (before its rollback).
void JournalClose();
// Whether keeping something failed since JournalBegin: the change was refused, and
// the run must stop and roll back.
bool JournalFailed();

// ---------------------------------------------------------------- reading and rollback

enum class TJournalKind : uint8_t {
    // clang-format off
    FileKept = 1,     // Path had bytes; Copy is their copy (a whole write's file beside it was not there)
    FileAbsent = 2,   // nothing was at Path (nor beside it)
    DirAbsent = 3,    // the folder Path was not there
    TreeKept = 4,     // the folder tree Path; Copy is the kept tree
    ValueKept = 5,    // Root\Key\Name had Type and Data
    ValueAbsent = 6,  // Root\Key had no value Name
    KeyAbsent = 7,    // the key Root\Key was not there
    KeyTreeKept = 8,  // the key tree Root\Key, serialised in Data
    RunLog = 9,       // the run's own uninstall log at Path
    LogReplayed = 10, // the run's log has been replayed by a rollback
    Done = 11,        // the record numbered Index has been rolled back
    // clang-format on
};

struct TJournalRecord {
    TJournalKind Kind = TJournalKind::Done;
    std::wstring Path;  // file or folder; Key for the registry kinds
    std::wstring Copy;  // the kept copy's name in the journal folder
    uint32_t Root = 0;  // TRegRootCode
    std::wstring Name;  // value name
    uint32_t Type = 0;  // value type
    std::string Data;   // value data, or a serialised key tree
    uint32_t Index = 0;
};

// What a journal file holds: its whole records in order, and whether the reading
// ended before the end of the file (a cut or damaged record).
struct TJournalContents {
    bool Readable = false;  // the file opened and began with the magic and a known version
    std::vector<TJournalRecord> Records;
    bool Damaged = false;
    size_t WholeLength = 0;  // bytes up to the end of the last whole record
};

std::string EncodeJournalRecord(const TJournalRecord& Record);
TJournalContents DecodeJournal(const std::string& Bytes);
std::string JournalHeader();
TJournalContents ReadJournal(const std::wstring& Path);

// Applies one record's old state to the machine. Every step can be repeated.
void RestoreJournalRecord(const TJournalRecord& Record, const std::wstring& Folder);
// Appends a record to the journal file at Path and flushes it (for the rollback's
// own progress marks).
bool AppendJournalRecord(const std::wstring& Path, const TJournalRecord& Record);
// Cuts the journal file at Path to Length bytes (a cut last record goes before the
// rollback appends its marks).
bool TruncateJournal(const std::wstring& Path, size_t Length);
// Deletes the journal file and then its folder.
void DeleteJournal();
