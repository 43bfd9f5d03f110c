// The uninstall log "uninst.log": a 7-byte magic followed by undo records, back to
// back, with no count and no end marker. A record carries the script row's
// TypeId, Code and Dir, its name in UTF-8, and its own length at both ends so that
// a reader can walk the body in either direction. The byte layout is persistent:
// logs written by older installations are read by newer uninstallers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/UItemTypes.h"
#include "support/UTextFile.h"

inline constexpr char UndoLogMagic[] = "UNBRD02";  // "UNBRD" + two version digits
constexpr size_t UndoLogMagicSize = 7;
constexpr size_t UndoLogMagicPrefixSize = 5;  // "UNBRD"

// Record layout: TypeId, Code, Dir (4 bytes each), NameLength (2), Name,
// RecordLength (2).
constexpr size_t UndoRecordHeadSize = 14;
constexpr size_t UndoRecordOverhead = 16;
constexpr size_t UndoNameLengthOffset = 12;
constexpr size_t MaxUndoNameLength = 0xFFFF - UndoRecordOverhead;  // RecordLength fits 16 bits

// Codes of the header records (type itLogConst): what their Name holds.
enum THeaderCode : uint32_t {
    hcProductName = 1,
    hcProductVersion = 2,
    hcProductType = 3,
    hcInstallDir = 4,
    hcProductRegKey = 5,
    hcReadBackward = 6,  // empty name; the body after it is read from the end backward
    hcUninstallKey = 7,
};

// Code of an itRegisterPackage record: what was there before the installation and
// stays at its removal. 0 (every older log): the registration made both.
enum TPackageUndoCode : uint32_t {
    pkKnownPackageWasThere = 1,  // the "Known Packages" value of the package
    pkSearchPathWasThere = 2,    // the package folder's search-path entry
};

// An itMergedLines record's name: the file's name below the record's directory
// code, a line feed, then the lines the merge added, separated by CR LF.
constexpr uint32_t mlFileMade = 1;  // Code: the merge made the file

// One decoded record.
struct TUndoRecord {
    uint32_t TypeId = 0;  // type in bits 0-15, row flags above
    uint32_t Code = 0;
    uint32_t Dir = 0;
    std::string Name;  // UTF-8 bytes as stored

    uint32_t Type() const { return TypeId & itTypeMask; }
    std::wstring RecordName() const;
};

// The bytes of one record. A name longer than MaxUndoNameLength bytes is cut at the
// last whole character that fits.
std::string EncodeUndoRecord(uint32_t TypeId, uint32_t Code, uint32_t Dir, const std::wstring& Name);

// Decodes one whole record; false when its two length fields disagree with each
// other or with the size of Bytes.
bool DecodeUndoRecord(const std::string& Bytes, TUndoRecord& Record);

// True when Data starts with "UNBRD" and two ASCII digits.
bool IsUndoLogMagic(const uint8_t* Data, size_t Size);

// Length of the record that starts at Pos (forward) or ends at Pos (backward), read
// from Buf within the span [Low, High). 0 when the span is exhausted or the
// record's length fields are damaged: shorter than a record, reaching outside the
// span, or head and trailer disagreeing. Either way the reading ends there.
size_t ForwardRecordLength(const std::vector<uint8_t>& Buf, size_t Pos, size_t Low, size_t High);
size_t BackwardRecordLength(const std::vector<uint8_t>& Buf, size_t Pos, size_t Low, size_t High);
