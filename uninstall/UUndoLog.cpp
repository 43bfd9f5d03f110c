#include "support/UTextFile.h"
#include "uninstall/UUndoLog.h"

#include <windows.h>

namespace {

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void Append32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Append16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

bool IsUtf8Continuation(char c) { return (static_cast<uint8_t>(c) & 0xC0) == 0x80; }

// Whether the record of Length bytes at Start has a head and a trailer that agree.
bool LengthsAgree(const std::vector<uint8_t>& buf, size_t start, size_t length) {
    size_t nameLength = Read16(&buf[start + UndoNameLengthOffset]);
    return nameLength + UndoRecordOverhead == length && Read16(&buf[start + length - 2]) == length;
}

}  // namespace

std::wstring TUndoRecord::RecordName() const { return Utf8ToWide(Name); }

std::string EncodeUndoRecord(uint32_t TypeId, uint32_t Code, uint32_t Dir, const std::wstring& Name) {
    std::string name = WideToUtf8(Name);
    if (name.size() > MaxUndoNameLength) {
        size_t cut = MaxUndoNameLength;
        while (cut > 0 && IsUtf8Continuation(name[cut])) --cut;
        name.resize(cut);
    }
    std::string record;
    record.reserve(name.size() + UndoRecordOverhead);
    Append32(record, TypeId);
    Append32(record, Code);
    Append32(record, Dir);
    Append16(record, static_cast<uint16_t>(name.size()));
    record += name;
    Append16(record, static_cast<uint16_t>(name.size() + UndoRecordOverhead));
    return record;
}

bool DecodeUndoRecord(const std::string& Bytes, TUndoRecord& Record) {
    if (Bytes.size() < UndoRecordOverhead) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(Bytes.data());
    size_t nameLength = Read16(p + UndoNameLengthOffset);
    if (nameLength + UndoRecordOverhead != Bytes.size() || Read16(p + Bytes.size() - 2) != Bytes.size())
        return false;
    Record.TypeId = Read32(p);
    Record.Code = Read32(p + 4);
    Record.Dir = Read32(p + 8);
    Record.Name.assign(Bytes, UndoRecordHeadSize, nameLength);
    return true;
}

bool IsUndoLogMagic(const uint8_t* Data, size_t Size) {
    if (Size < UndoLogMagicSize) return false;
    for (size_t i = 0; i < UndoLogMagicPrefixSize; ++i)
        if (Data[i] != static_cast<uint8_t>(UndoLogMagic[i])) return false;
    return IsDigit(Data[5]) && IsDigit(Data[6]);
}

size_t ForwardRecordLength(const std::vector<uint8_t>& Buf, size_t Pos, size_t Low, size_t High) {
    if (High > Buf.size() || Pos < Low || Pos >= High) return 0;
    if (High - Pos < UndoRecordOverhead) return 0;
    size_t length = Read16(&Buf[Pos + UndoNameLengthOffset]) + UndoRecordOverhead;
    if (length > High - Pos || !LengthsAgree(Buf, Pos, length)) return 0;
    return length;
}

size_t BackwardRecordLength(const std::vector<uint8_t>& Buf, size_t Pos, size_t Low, size_t High) {
    if (High > Buf.size() || Pos > High || Pos < Low || Pos - Low < 2) return 0;
    size_t length = Read16(&Buf[Pos - 2]);
    if (length < UndoRecordOverhead || length > Pos - Low || !LengthsAgree(Buf, Pos - length, length)) return 0;
    return length;
}
