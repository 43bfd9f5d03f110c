// The writer of the uninstall log. The script engine owns the log's handle for one
// installation run and calls these in this order: BinLogOpen when the run starts,
// BinLogAddItem (script/UUndoRecord.h) after every executed row flagged ifLogUndo,
// BinLogClose when it stops. Every record goes out with a single write, so a run
// that stops midway leaves a log of whole records.
#pragma once

#include <cstdint>
#include <string>

#include "support/WinHandles.h"

// Creates the install directory Dir with its missing levels and "uninst.log" in it, anew, and
// writes the magic. 0 when the log is open, -1 when it could not be created: Log
// is then invalid and GetLastError tells why.
int BinLogOpen(brd::UniqueFile& Log, const std::wstring& Dir);

// Writes Bytes at once at the end of Log: 0, or the Windows error code when they
// could not be written whole (the part written is taken back, so the log still ends
// with a whole record) or Log is not open.
int BinLogWrite(const brd::UniqueFile& Log, const std::string& Bytes);

void BinLogClose(brd::UniqueFile& Log);

// The text of a header record: product name, version, edition, the install
// directory InstallDir, product key path, uninstall entry name; empty for other codes.
std::wstring LogConstText(uint32_t Code, const std::wstring& InstallDir);
