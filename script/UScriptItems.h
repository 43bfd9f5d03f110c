// The install script: the fixed table of rows, its type ids and flags, the product
// constants and the payload resource type. The numeric values are persistent: the
// uninstall log stores them.
#pragma once

#include <cstdint>

#include "support/UUtils.h"

// Product constants.
inline constexpr const wchar_t* MakerName = L"Brindlecraft";
inline constexpr const wchar_t* ProductName = L"Corvane library";
inline constexpr const wchar_t* ProductVersion = L"4.07";
inline constexpr const wchar_t* EditionText = L"trial Delphi version";
inline constexpr const wchar_t* ProductWord = L"Corvane";
inline constexpr const wchar_t* ProductDescription =
    L"Corvane library - collection of components for working with the application settings.\r\n\r\n";

// Row types (bits 0-15 of TypeId). 0x8000: file rows; 0x4000: control rows.
enum TItemType : uint32_t {
    itCompilePackage = 0x0006,
    itRegisterPackage = 0x0008,
    itModifyFile = 0x000A,
    itDeleteFile = 0x000B,
    itRegisterWinHelp = 0x000C,
    itSetHelpDir = 0x000D,
    itCreateRegKey = 0x000F,
    itCheckFile = 0x0013,
    itAddSearchPath = 0x0015,
    itUninstallPrevious = 0x0018,
    itCopyFiles = 0x001A,
    itDeleteFiles = 0x001B,
    itMergeFiles = 0x001C,
    itReplaceText = 0x001D,
    itRunFile = 0x0022,
    itRegisterHelp = 0x0023,
    itAddIdePath = 0x0026,
    itIfVersions = 0x4003,
    itEndIfVersions = 0x4004,
    itSetIde = 0x4009,
    itLogConst = 0x400E,
    itIfItems = 0x4016,
    itEndIfItems = 0x4017,
    itIfCustomize = 0x401E,
    itEndIfCustomize = 0x401F,
    itIfNotCustomize = 0x4020,
    itEndIfNotCustomize = 0x4021,
    itIfFileExists = 0x4024,
    itEndIfFileExists = 0x4025,
    itCreateDir = 0x8001,
    itCopyResource = 0x8002,
    itClearDir = 0x8005,
    itSetCurrentDir = 0x8007,
    itCopyResourceIfAbsent = 0x8010,
    itCopyResourceIfNewer = 0x8011,
    itRegisterUninstall = 0x8012,
    itCopyFile = 0x8014,
};

constexpr uint32_t itFileClass = 0x8000;
constexpr uint32_t itControlClass = 0x4000;
constexpr uint32_t itTypeMask = 0xFFFF;

// Row flags (bits 16-31 of TypeId).
constexpr uint32_t ifLogUndo = 0x10000;
constexpr uint32_t ifKeepOnPartial = 0x20000;

struct TScriptTarget {
    const wchar_t* Name;
    uint32_t Dir;
};

struct TScriptItem {
    uint32_t TypeId;
    const wchar_t* Name;
    uint32_t Code;
    uint32_t Dir;
    const wchar_t* Param;
    const wchar_t* Name2;
    uint32_t Dir2;
    uint32_t Options;
    const TScriptTarget* Target;
};

inline uint32_t ItemType(const TScriptItem& item) { return item.TypeId & itTypeMask; }

extern const TScriptItem ScriptItems[];
extern const int ScriptItemCount;
