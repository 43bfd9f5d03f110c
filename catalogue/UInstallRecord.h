// The two records an installation leaves under HKEY_LOCAL_MACHINE: the product key,
// which tells the next setup run what was installed where, and the Windows uninstall
// entry, which names the uninstaller and the uninstall log of that installation.
// Every reader and writer takes the key path so that tests can point it elsewhere;
// the program always uses the defaults.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/UProducts.h"
#include "catalogue/URunContext.h"
#include "support/UConst.h"

// ---------------------------------------------------------------- product key

// What a previous run left under the product key, as the selection page reads it
// before detection. Missing values stay 0 or empty.
struct TPreviousInstall {
    int32_t InstallVersions = 0;  // environment mask
    std::wstring Version;
    int32_t InstallItems = 0;       // item mask
    int32_t FilesOnlyVersions = 0;  // environment mask: installed with files only
};

// The product key's value beside the seven: the environments of InstallVersions that
// got the library's files only, so that the next run proposes that choice again.
inline constexpr const wchar_t* ValFilesOnlyVersions = L"FilesOnlyVersions";

TPreviousInstall ReadPreviousInstall(const std::wstring& Key = ProductKey);

// A stored mask of 0 or less (a negative value included) means nothing was recorded.
inline bool IsRecordedMask(int32_t Mask) { return Mask > 0; }

// Presets from a previous record, after detection: Selected of every row of Detected,
// and Checked of the entries of Selection.
void PresetFromPreviousInstall(const TPreviousInstall& Previous, TSelectionList& Selection, TDetectedIdes& Detected);

// Replaces Items with the stored "CustomizeItems" only when it could be read, so
// that a missing value leaves what Items held. True when it was replaced.
bool LoadCustomizeItems(int32_t& Items, const std::wstring& Key = ProductKey);

// The install directory of the previous installation; empty when there is none.
std::wstring ReadPreviousInstallDir(const std::wstring& Key = ProductKey);

// The seven values, in the order they are written, and the files-only mask after them.
struct TInstallRecord {
    int32_t InstallVersions = 0;
    int32_t InstallItems = 0;
    std::wstring RootDir;
    std::wstring Version;
    std::wstring Type;
    std::wstring InstallDate;
    int32_t CustomizeItems = DefaultCustomizeItems;
    int32_t FilesOnlyVersions = 0;
};

// The record of the installation this run made: the plan, the product constants and
// today's date in the user's short date format.
TInstallRecord CurrentInstallRecord(const TInstallPlan& Plan);

// Writes the values, creating the key when missing. Stops at the first write that
// fails (the values before it stay); true only when all were written.
bool WriteInstallRecord(const TInstallRecord& Record, const std::wstring& Key = ProductKey);

// One value of the record and how it is written.
struct TRecordValue {
    const wchar_t* Name;
    std::function<bool()> Write;
};
// The writes of WriteInstallRecord, in their order.
std::vector<TRecordValue> InstallRecordValues(const TInstallRecord& Record, const std::wstring& Key = ProductKey);
// Runs the writes in order and stops at the first that fails.
bool WriteInOrder(const std::vector<TRecordValue>& Values);

// ---------------------------------------------------------------- uninstall entry

inline constexpr const wchar_t* UninstallerFileName = L"unbrd.exe";
inline constexpr const wchar_t* UninstallLogFileName = L"uninst.log";

// Results of RegisterUninstallEntry.
enum TUninstallEntryResult : int32_t {
    ueSuccess = 0,
    ueCreateKeyFailed = -1,
    ueDisplayNameFailed = -2,
    ueUninstallStringFailed = -3,
    ueDetailsFailed = -4,  // one of the values that Apps & Features and deployment tools read
};

// The values of the uninstall entry besides "DisplayName" and "UninstallString" that
// Apps & Features, winget and deployment tools read.
inline constexpr const wchar_t* ValDisplayVersion = L"DisplayVersion";
inline constexpr const wchar_t* ValPublisher = L"Publisher";
inline constexpr const wchar_t* ValDisplayIcon = L"DisplayIcon";
inline constexpr const wchar_t* ValInstallLocation = L"InstallLocation";
inline constexpr const wchar_t* ValEstimatedSize = L"EstimatedSize";
inline constexpr const wchar_t* ValQuietUninstallString = L"QuietUninstallString";
inline constexpr const wchar_t* ValNoModify = L"NoModify";
inline constexpr const wchar_t* ValNoRepair = L"NoRepair";
inline constexpr const wchar_t* ValURLInfoAbout = L"URLInfoAbout";
inline constexpr const wchar_t* ValEntryInstallDate = L"InstallDate";
inline constexpr const wchar_t* ValVersionMajor = L"VersionMajor";
inline constexpr const wchar_t* ValVersionMinor = L"VersionMinor";

// "Brindlecraft Corvane library v4.07".
std::wstring UninstallDisplayName();

// The uninstaller in Dir followed by the uninstall log in Dir, each quoted when it
// holds a blank: the command the system runs to uninstall.
std::wstring UninstallCommand(const std::wstring& Dir);

// Today's date as yyyymmdd, the uninstall entry's format.
std::wstring TodayYmd();

// The same command with the uninstaller's switch for a removal without any window.
std::wstring QuietUninstallCommand(const std::wstring& Dir);

// Creates the uninstall entry for an installation in Dir and writes "DisplayName",
// "UninstallString" and then the other values, stopping at the first failure.
// "InstallDate" is Today, yyyymmdd.
int32_t RegisterUninstallEntry(const std::wstring& Dir, const std::wstring& Key = UninstallEntry,
                               const std::wstring& Today = TodayYmd());

// Sets the entry's "EstimatedSize" to the kilobytes below Dir, when the entry is
// there (a run that could not register it must not make a key that nothing removes).
bool RecordInstalledSize(const std::wstring& Dir, const std::wstring& Key = UninstallEntry);

// The uninstall log named by an "UninstallString": the last quoted part, or the text
// after the last blank, whole at any length; empty when there is none.
std::wstring UninstallLogFromCommand(const std::wstring& UninstallString);

// The uninstall log of the previous installation; empty when the entry, its
// "DisplayName" or its "UninstallString" is missing or names no log.
std::wstring FindPreviousUninstallLog(const std::wstring& Key = UninstallEntry);
