#include "support/UJournal.h"

#include <shlobj.h>

#include <memory>
#include <set>

#include "support/UDirTree.h"
#include "support/UPaths.h"
#include "support/UPlatform.h"
#include "support/URegistry.h"
#include "support/UWholeFile.h"
#include "support/WinHandles.h"

using brd::UniqueFile;
using brd::UniqueFind;
using brd::UniqueKey;

namespace {

constexpr char JournalMagic[4] = {'C', 'V', 'L', 'J'};
constexpr uint16_t JournalVersion = 1;
constexpr size_t JournalHeaderSize = 6;
// A record holds at most a kept key tree; anything longer is damage.
constexpr uint32_t MaxRecordSize = 64u << 20;

// ---------------------------------------------------------------- codec

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, const std::wstring& text) {
    PutU32(out, static_cast<uint32_t>(text.size()));
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
}

void PutBytes(std::string& out, const std::string& bytes) {
    PutU32(out, static_cast<uint32_t>(bytes.size()));
    out += bytes;
}

uint32_t Checksum(const std::string& bytes, size_t from, size_t count) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (size_t i = from; i < from + count; ++i) {
        hash ^= static_cast<uint8_t>(bytes[i]);
        hash *= 16777619u;
    }
    return hash;
}

// Reads fields from a span and never past its end.
class TFieldReader {
public:
    TFieldReader(const std::string& bytes, size_t from, size_t to) : FBytes(bytes), FPos(from), FEnd(to) {}
    bool U32(uint32_t& v) {
        if (FEnd - FPos < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(FBytes[FPos + i])) << (8 * i);
        FPos += 4;
        return true;
    }
    bool Text(std::wstring& text) {
        uint32_t count = 0;
        if (!U32(count) || (FEnd - FPos) / 2 < count) return false;
        text.resize(count);
        for (uint32_t i = 0; i < count; ++i)
            text[i] = static_cast<wchar_t>(static_cast<uint8_t>(FBytes[FPos + size_t{2} * i]) |
                                           static_cast<uint8_t>(FBytes[FPos + size_t{2} * i + 1]) << 8);
        FPos += 2 * static_cast<size_t>(count);
        return true;
    }
    bool Bytes(std::string& bytes) {
        uint32_t count = 0;
        if (!U32(count) || FEnd - FPos < count) return false;
        bytes.assign(FBytes, FPos, count);
        FPos += count;
        return true;
    }
    bool Byte(uint8_t& b) {
        if (FPos >= FEnd) return false;
        b = static_cast<uint8_t>(FBytes[FPos++]);
        return true;
    }
    bool AtEnd() const { return FPos == FEnd; }

private:
    const std::string& FBytes;
    size_t FPos;
    size_t FEnd;
};

bool DecodeBody(const std::string& bytes, size_t from, size_t to, TJournalRecord& r) {
    TFieldReader in(bytes, from, to);
    uint8_t kind = 0;
    if (!in.Byte(kind) || kind < static_cast<uint8_t>(TJournalKind::FileKept) ||
        kind > static_cast<uint8_t>(TJournalKind::Done))
        return false;
    r.Kind = static_cast<TJournalKind>(kind);
    return in.Text(r.Path) && in.Text(r.Copy) && in.U32(r.Root) && in.Text(r.Name) && in.U32(r.Type) &&
           in.Bytes(r.Data) && in.U32(r.Index) && in.AtEnd();
}

// ---------------------------------------------------------------- the machine

std::wstring ProgramDataDir() {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        result = path;
    CoTaskMemFree(path);
    return result;
}

std::wstring NormalPath(const std::wstring& path) {
    std::wstring full = GetFullPath(path);
    if (full.empty()) full = path;
    while (full.size() > 3 && IsPathSeparator(full.back())) full.pop_back();
    return full;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ParentOf(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? L"" : path.substr(0, cut);
}

bool FlushFile(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.get());
}

bool CopyAndFlush(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) && FlushFile(to);
}

bool IsLinkOrDotFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || entry.cFileName[0] == L'.';
}

// Copies the folder From with its files and folders to To. Links and dot-folders
// are passed over, as the tree removal passes over them.
bool CopyTree(const std::wstring& from, const std::wstring& to, bool flush) {
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((from + L"\\*").c_str(), &entry));
    if (!find) return true;
    bool ok = true;
    do {
        const std::wstring name = entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsLinkOrDotFolder(entry)) ok = CopyTree(from + L"\\" + name, to + L"\\" + name, flush) && ok;
        } else {
            const std::wstring target = to + L"\\" + name;
            ok = (flush ? CopyAndFlush(from + L"\\" + name, target) : CopyFileW((from + L"\\" + name).c_str(), target.c_str(), FALSE) != FALSE) &&
                 ok;
        }
    } while (FindNextFileW(find.get(), &entry));
    return ok;
}

// Only files and folders: no link, no dot-folder.
bool TreeIsPlain(const std::wstring& dir) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((dir + L"\\*").c_str(), &entry));
    if (!find) return true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (name[0] == L'.' || !TreeIsPlain(dir + L"\\" + name)))
            return false;
    } while (FindNextFileW(find.get(), &entry));
    return true;
}

uint32_t RootCode(HKEY root) {
    for (uint32_t code : {rcClassesRoot, rcCurrentUser, rcLocalMachine, rcUsers})
        if (RegRootFromCode(code) == root) return code;
    return 0;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    UniqueKey opened;
    return RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | RegView, opened.put()) == ERROR_SUCCESS;
}

bool ReadRawValue(HKEY root, const std::wstring& key, const std::wstring& name, uint32_t& type, std::string& data) {
    UniqueKey opened;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | RegView, opened.put()) != ERROR_SUCCESS) return false;
    DWORD kind = 0, size = 0;
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &kind, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, '\0');
    if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &kind, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    type = kind;
    return true;
}

// A key tree as entries: 'K' and a path below the tree's key for every key (the
// tree's own first, as ""), 'V', the key's path, a name, a type and the data for
// every value.
void SerialiseKey(HKEY open, const std::wstring& rel, std::string& out) {
    out.push_back('K');
    PutText(out, rel);
    DWORD subKeys = 0, maxKey = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(open, nullptr, nullptr, nullptr, &subKeys, &maxKey, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<wchar_t> name(maxName + 2);
    std::string data(maxData + 2, '\0');
    for (DWORD i = 0; i < values; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueW(open, i, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &size) != ERROR_SUCCESS)
            continue;
        out.push_back('V');
        PutText(out, rel);
        PutText(out, std::wstring(name.data(), nameLength));
        PutU32(out, type);
        PutBytes(out, data.substr(0, size));
    }
    std::vector<wchar_t> sub(maxKey + 2);
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD length = static_cast<DWORD>(sub.size());
        if (RegEnumKeyExW(open, i, sub.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
        std::wstring child(sub.data(), length);
        UniqueKey opened;
        if (RegOpenKeyExW(open, child.c_str(), 0, KEY_READ | RegView, opened.put()) != ERROR_SUCCESS) continue;
        SerialiseKey(opened.get(), rel.empty() ? child : rel + L"\\" + child, out);
    }
}

bool SetRawValue(HKEY root, const std::wstring& key, const std::wstring& name, uint32_t type, const std::string& data) {
    UniqueKey opened;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | RegView, nullptr,
                        opened.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(opened.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

void RebuildKeyTree(HKEY root, const std::wstring& key, const std::string& tree) {
    TFieldReader in(tree, 0, tree.size());
    uint8_t tag = 0;
    while (in.Byte(tag)) {
        std::wstring rel, name;
        uint32_t type = 0;
        std::string data;
        if (!in.Text(rel)) return;
        const std::wstring path = rel.empty() ? key : key + L"\\" + rel;
        if (tag == 'K') {
            CreateRegKey(root, path);
        } else if (tag == 'V' && in.Text(name) && in.U32(type) && in.Bytes(data)) {
            SetRawValue(root, path, name, type, data);
        } else {
            return;
        }
    }
}

// The deepest existing ancestor's child on the way to Key; empty when Key exists.
std::wstring ShallowestMissingKey(HKEY root, const std::wstring& key) {
    for (size_t end = key.find(L'\\');; end = key.find(L'\\', end + 1)) {
        std::wstring prefix = key.substr(0, end);
        if (!prefix.empty() && !KeyExists(root, prefix)) return prefix;
        if (end == std::wstring::npos) return L"";
    }
}

std::wstring ShallowestMissingDir(const std::wstring& dir) {
    std::wstring missing;
    for (std::wstring level = dir; !level.empty() && !PathExists(level); level = ParentOf(level)) missing = level;
    return missing;
}

bool KeyAtOrBelow(const std::wstring& key, const std::wstring& top) {
    return key.size() >= top.size() && key.compare(0, top.size(), top) == 0 &&
           (key.size() == top.size() || key[top.size()] == L'\\');
}

// ---------------------------------------------------------------- the open journal

class TJournalWriter {
public:
    TJournalWriter(UniqueFile file, std::wstring folder) : FFile(std::move(file)), FFolder(std::move(folder)) {}

    bool Write(const TJournalRecord& record) {
        const std::string bytes = EncodeJournalRecord(record);
        DWORD written = 0;
        if (!WriteFile(FFile.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(FFile.get()))
            return Fail();
        ++FWritten;
        if (JournalWrittenHook) JournalWrittenHook(FWritten);
        return true;
    }
    std::wstring NewCopyName() { return std::to_wstring(FNextCopy++) + L".bak"; }
    std::wstring CopyPath(const std::wstring& name) const { return FFolder + L"\\" + name; }
    bool Fail() {
        FFailed = true;
        return false;
    }
    bool Failed() const { return FFailed; }

    // Folders and keys below which everything is put back by one record.
    bool DirCovered(const std::wstring& path) const {
        for (const std::wstring& dir : FCoveredDirs)
            if (IsPathAtOrBelow(path, dir)) return true;
        return false;
    }
    void CoverDir(const std::wstring& dir) { FCoveredDirs.push_back(dir); }
    bool KeyCovered(const std::wstring& id) const {
        for (const std::wstring& key : FCoveredKeys)
            if (KeyAtOrBelow(id, key)) return true;
        return false;
    }
    void CoverKey(const std::wstring& id) { FCoveredKeys.push_back(id); }
    // True the first time Id is seen.
    bool FirstTime(const std::wstring& id) { return FKept.insert(id).second; }
    bool Seen(const std::wstring& id) const { return FKept.count(id) != 0; }

private:
    UniqueFile FFile;
    std::wstring FFolder;
    uint32_t FNextCopy = 1;
    uint32_t FWritten = 0;
    bool FFailed = false;
    std::vector<std::wstring> FCoveredDirs;
    std::vector<std::wstring> FCoveredKeys;
    std::set<std::wstring> FKept;
};

std::unique_ptr<TJournalWriter> Writer;

std::wstring KeyId(uint32_t code, const std::wstring& key) { return Lower(std::to_wstring(code) + L"\\" + key); }

}  // namespace

TJournalWrittenHook JournalWrittenHook = nullptr;
void (*JournalCommittingHook)() = nullptr;

// ---------------------------------------------------------------- codec

std::string JournalHeader() {
    std::string header(JournalMagic, sizeof(JournalMagic));
    header.push_back(static_cast<char>(JournalVersion & 0xFF));
    header.push_back(static_cast<char>(JournalVersion >> 8));
    return header;
}

std::string EncodeJournalRecord(const TJournalRecord& r) {
    std::string body(1, static_cast<char>(r.Kind));
    PutText(body, r.Path);
    PutText(body, r.Copy);
    PutU32(body, r.Root);
    PutText(body, r.Name);
    PutU32(body, r.Type);
    PutBytes(body, r.Data);
    PutU32(body, r.Index);
    std::string out;
    PutU32(out, static_cast<uint32_t>(body.size()));
    out += body;
    PutU32(out, Checksum(body, 0, body.size()));
    return out;
}

TJournalContents DecodeJournal(const std::string& bytes) {
    TJournalContents contents;
    const std::string header = JournalHeader();
    // A journal stopped while its header was written holds nothing yet.
    if (bytes.size() < JournalHeaderSize && header.compare(0, bytes.size(), bytes) == 0) {
        contents.Readable = true;
        return contents;
    }
    if (bytes.size() < JournalHeaderSize || bytes.compare(0, JournalHeaderSize, header) != 0) return contents;
    contents.Readable = true;
    size_t pos = JournalHeaderSize;
    while (pos < bytes.size()) {
        TFieldReader head(bytes, pos, bytes.size());
        uint32_t size = 0, sum = 0;
        TJournalRecord record;
        if (!head.U32(size) || size > MaxRecordSize || bytes.size() - pos - 4 < static_cast<size_t>(size) + 4) break;
        TFieldReader tail(bytes, pos + 4 + size, bytes.size());
        if (!tail.U32(sum) || sum != Checksum(bytes, pos + 4, size) || !DecodeBody(bytes, pos + 4, pos + 4 + size, record))
            break;
        contents.Records.push_back(std::move(record));
        pos += 8 + static_cast<size_t>(size);
    }
    contents.Damaged = pos != bytes.size();
    contents.WholeLength = pos;
    return contents;
}

TJournalContents ReadJournal(const std::wstring& Path) {
    UniqueFile file(CreateFileW(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return {};
    return DecodeJournal(bytes);
}

// ---------------------------------------------------------------- keeping

bool KeepFileBeforeChange(const std::wstring& Path) {
    if (!Writer) return true;
    const std::wstring full = NormalPath(Path);
    if (!IsFullPath(full)) return true;  // the change itself will fail on it
    if (Writer->DirCovered(full) || !Writer->FirstTime(Lower(full))) return true;
    if (DirectoryExists(full)) return KeepTreeBeforeRemoval(full);
    TJournalRecord record;
    record.Path = full;
    record.Kind = TJournalKind::FileAbsent;
    if (FileExists(full)) {
        record.Kind = TJournalKind::FileKept;
        record.Copy = Writer->NewCopyName();
        if (!CopyAndFlush(full, Writer->CopyPath(record.Copy))) return Writer->Fail();
    }
    return Writer->Write(record);
}

bool KeepFileBeforeDeletion(const std::wstring& Path) {
    return !Writer || !PathExists(Path) || KeepFileBeforeChange(Path);
}

bool NoteFileCreated(const std::wstring& Path) {
    if (!Writer) return true;
    const std::wstring full = NormalPath(Path);
    if (Writer->DirCovered(full) || !Writer->FirstTime(Lower(full))) return true;
    TJournalRecord record;
    record.Kind = TJournalKind::FileAbsent;
    record.Path = full;
    return Writer->Write(record);
}

bool NoteBesideFile(const std::wstring& Target, const std::wstring& Beside) {
    if (!Writer) return true;
    const std::wstring full = NormalPath(Target);
    if (Writer->DirCovered(full) || Writer->Seen(Lower(full))) return true;
    return NoteFileCreated(Beside);
}

bool KeepDirBeforeCreation(const std::wstring& Dir) {
    if (!Writer) return true;
    const std::wstring missing = ShallowestMissingDir(NormalPath(Dir));
    if (missing.empty() || !IsFullPath(missing) || Writer->DirCovered(missing)) return true;
    TJournalRecord record;
    record.Kind = TJournalKind::DirAbsent;
    record.Path = missing;
    if (!Writer->Write(record)) return false;
    Writer->CoverDir(missing);
    return true;
}

bool KeepTreeBeforeRemoval(const std::wstring& Dir, bool* Moved) {
    if (Moved) *Moved = false;
    if (!Writer) return true;
    const std::wstring full = NormalPath(Dir);
    if (!IsFullPath(full) || !DirectoryExists(full) || Writer->DirCovered(full)) return true;
    TJournalRecord record;
    record.Kind = TJournalKind::TreeKept;
    record.Path = full;
    record.Copy = Writer->NewCopyName();
    const std::wstring copy = Writer->CopyPath(record.Copy);
    // Moving is renaming on one volume: the old files are not copied at all. A file in
    // use, a link or a dot-folder (which the removal leaves) keeps the tree in place.
    const bool moved = Moved && TreeIsPlain(full) && MoveFileExW(full.c_str(), copy.c_str(), 0);
    if (!moved && !CopyTree(full, copy, true)) return Writer->Fail();
    if (!Writer->Write(record)) {
        if (moved) MoveFileExW(copy.c_str(), full.c_str(), 0);
        return false;
    }
    if (Moved) *Moved = moved;
    Writer->CoverDir(full);
    return true;
}

bool KeepRegValueBeforeChange(HKEY Root, const std::wstring& Key, const std::wstring& Name) {
    if (!Writer) return true;
    const uint32_t code = RootCode(Root);
    if (code == 0 || Writer->KeyCovered(KeyId(code, Key)) || !Writer->FirstTime(KeyId(code, Key) + L"\\\\" + Lower(Name)))
        return true;
    TJournalRecord record;
    record.Kind = TJournalKind::ValueAbsent;
    record.Root = code;
    record.Path = Key;
    record.Name = Name;
    if (ReadRawValue(Root, Key, Name, record.Type, record.Data)) record.Kind = TJournalKind::ValueKept;
    return Writer->Write(record);
}

bool KeepRegKeyBeforeCreation(HKEY Root, const std::wstring& Key) {
    if (!Writer) return true;
    const uint32_t code = RootCode(Root);
    if (code == 0 || Writer->KeyCovered(KeyId(code, Key))) return true;
    const std::wstring missing = ShallowestMissingKey(Root, Key);
    if (missing.empty() || Writer->KeyCovered(KeyId(code, missing))) return true;
    TJournalRecord record;
    record.Kind = TJournalKind::KeyAbsent;
    record.Root = code;
    record.Path = missing;
    if (!Writer->Write(record)) return false;
    Writer->CoverKey(KeyId(code, missing));
    return true;
}

bool KeepRegTree(HKEY Root, const std::wstring& Key) {
    if (!Writer) return true;
    const uint32_t code = RootCode(Root);
    if (code == 0 || Writer->KeyCovered(KeyId(code, Key))) return true;
    UniqueKey opened;
    if (RegOpenKeyExW(Root, Key.c_str(), 0, KEY_READ | RegView, opened.put()) != ERROR_SUCCESS)
        return KeepRegKeyBeforeCreation(Root, Key);
    TJournalRecord record;
    record.Kind = TJournalKind::KeyTreeKept;
    record.Root = code;
    record.Path = Key;
    SerialiseKey(opened.get(), L"", record.Data);
    if (!Writer->Write(record)) return false;
    Writer->CoverKey(KeyId(code, Key));
    return true;
}

// ---------------------------------------------------------------- one run

std::wstring JournalFolder() {
    const std::wstring data = ProgramDataDir();
    return data.empty() ? L"" : PathJoin(data, L"Corvane library rollback");
}

std::wstring JournalFile() {
    const std::wstring folder = JournalFolder();
    return folder.empty() ? L"" : PathJoin(folder, L"journal.dat");
}

bool JournalLeftOver() { return !JournalFile().empty() && FileExists(JournalFile()); }

bool JournalBegin() {
    Writer.reset();
    const std::wstring folder = JournalFolder();
    if (folder.empty() || JournalLeftOver()) return false;
    DeleteDirTree(folder, false);  // copies of a journal whose commit was cut short
    if (CreateDirectoryPath(folder) != 0) return false;
    UniqueFile file(CreateFileW(JournalFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::string header = JournalHeader();
    DWORD written = 0;
    if (!WriteFile(file.get(), header.data(), static_cast<DWORD>(header.size()), &written, nullptr) ||
        written != header.size() || !FlushFileBuffers(file.get())) {
        file.reset();
        DeleteJournal();
        return false;
    }
    Writer = std::make_unique<TJournalWriter>(std::move(file), folder);
    return true;
}

bool JournalIsOpen() { return Writer != nullptr; }

bool JournalFailed() { return Writer && Writer->Failed(); }

bool JournalNoteRunLog(const std::wstring& Path) {
    if (!Writer) return true;
    TJournalRecord record;
    record.Kind = TJournalKind::RunLog;
    record.Path = NormalPath(Path);
    return Writer->Write(record);
}

// Deleting the journal file is the commit; copies left by a commit that is cut
// short there are deleted by the next run.
void JournalCommit() {
    Writer.reset();
    if (!JournalFile().empty() && !DeleteFileW(JournalFile().c_str())) return;
    if (JournalCommittingHook) JournalCommittingHook();
    DeleteJournal();
}

void JournalClose() { Writer.reset(); }

// ---------------------------------------------------------------- rollback

namespace {

void RemoveFile(const std::wstring& Path) {
    if (!FileExists(Path)) return;
    SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Path.c_str());
}

}  // namespace

void RestoreJournalRecord(const TJournalRecord& Record, const std::wstring& Folder) {
    const std::wstring& path = Record.Path;
    const HKEY root = RegRootFromCode(Record.Root);
    switch (Record.Kind) {
        case TJournalKind::FileKept:
            if (!IsFullPath(path)) return;
            RemoveFile(BesideName(path));  // a whole write stopped before its move
            CreateDirectoryPath(ParentOf(path));
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            CopyFileW(PathJoin(Folder, Record.Copy).c_str(), path.c_str(), FALSE);
            return;
        case TJournalKind::FileAbsent:
            if (!IsFullPath(path)) return;
            RemoveFile(BesideName(path));
            RemoveFile(path);
            return;
        case TJournalKind::DirAbsent:
            if (DirectoryExists(path)) DeleteDirTree(path, false);
            return;
        case TJournalKind::TreeKept:
            if (!IsFullPath(path) || !DirectoryExists(PathJoin(Folder, Record.Copy))) return;
            if (DirectoryExists(path)) DeleteDirTree(path, false);
            CreateDirectoryPath(path);
            CopyTree(PathJoin(Folder, Record.Copy), path, false);
            return;
        case TJournalKind::ValueKept:
            if (root) SetRawValue(root, path, Record.Name, Record.Type, Record.Data);
            return;
        case TJournalKind::ValueAbsent:
            if (root) DeleteRegValue(root, path, Record.Name);
            return;
        case TJournalKind::KeyAbsent:
            if (root && path.find(L'\\') != std::wstring::npos) DeleteKeyTree(root, path, TEmptyAncestors::Keep);
            return;
        case TJournalKind::KeyTreeKept:
            if (!root || path.find(L'\\') == std::wstring::npos) return;
            DeleteKeyTree(root, path, TEmptyAncestors::Keep);
            CreateRegKey(root, path);
            RebuildKeyTree(root, path, Record.Data);
            return;
        default: return;
    }
}

bool AppendJournalRecord(const std::wstring& Path, const TJournalRecord& Record) {
    UniqueFile file(CreateFileW(Path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::string bytes = EncodeJournalRecord(Record);
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

bool TruncateJournal(const std::wstring& Path, size_t Length) {
    UniqueFile file(CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(Length);
    return file && SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()) &&
           FlushFileBuffers(file.get());
}

void DeleteJournal() {
    Writer.reset();
    const std::wstring folder = JournalFolder();
    if (folder.empty()) return;
    DeleteFileW(JournalFile().c_str());
    DeleteDirTree(folder, false);
}
