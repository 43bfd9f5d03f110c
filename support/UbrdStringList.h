// A list of text lines kept in the order of the user's locale (case-sensitive), with
// binary search, loading of an 8-bit text file and saving as 8-bit or UTF-16 text.
// The script merges one alias file into another with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TbrdDuplicates : uint8_t {
    dupIgnore = 0,
    dupAccept = 1,
    dupError = 2,  // raises nothing: behaves like dupIgnore
};

class TbrdStringList {
public:
    virtual ~TbrdStringList();

    void Clear();
    // Replaces the contents with the lines of an 8-bit text file, in the file's own
    // order. False (and an empty list) when the file cannot be opened or read whole.
    bool LoadFromFile(const std::wstring& FileName);
    void MergeFromFile(const std::wstring& FileName);
    // Write the lines, each followed by CR LF, into a file created anew: UTF-16LE
    // without byte-order mark, or the system ANSI code page. False when the file
    // could not be created or a write failed.
    bool SaveToFile(const std::wstring& FileName) const;
    bool SaveToFileA(const std::wstring& FileName) const;
    void Sort();
    // Inserts S where Find places it, also when an equal line is present.
    int Add(const std::wstring& S);
    // Puts S at Index (0..Count), moving the lines from there on one place up. An
    // index outside that range changes nothing.
    void Insert(int Index, const std::wstring& S);
    // Binary search; assumes the list is sorted. Index is where S is or belongs.
    bool Find(const std::wstring& S, int& Index) const;
    int IndexOf(const std::wstring& S) const;
    std::wstring Get(int Index) const;
    void Put(int Index, const std::wstring& Value);

    int Count() const { return FLinesCount; }
    TbrdDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TbrdDuplicates Value) { FDuplicates = Value; }
    std::wstring Strings(int Index) const { return Get(Index); }

private:
    static int CompareStrings(const std::wstring& A, const std::wstring& B);
    int Append(const std::wstring& S);
    void LoadFromBuffer(const char* Buffer);
    void Grow();

    TbrdDuplicates FDuplicates = dupIgnore;
    std::vector<std::wstring> FLines;
    int FLinesCount = 0;
    int FLinesCapacity = 0;
};
