// Type ids and flags of the install script's rows. The values are persistent: every
// record of the uninstall log carries the TypeId of the row that wrote it.
#pragma once

#include <cstdint>

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
    itModifyFileToo = 0x0019,  // undone like itModifyFile; no row writes it, a log may hold it
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
    // Kinds of uninstall records that no row has as its type: the engine writes them
    // for rows whose effect the row's own record would not undo right.
    itSharedFile = 0x8030,   // a copy into the system folder, counted under SharedDLLs
    itMergedLines = 0x0030,  // the lines a merge added to a text file (Code 1: it made the file)
};

constexpr uint32_t itFileClass = 0x8000;
constexpr uint32_t itControlClass = 0x4000;
constexpr uint32_t itTypeMask = 0xFFFF;

// Row flags (bits 16-31 of TypeId).
constexpr uint32_t ifLogUndo = 0x10000;
constexpr uint32_t ifKeepOnPartial = 0x20000;
