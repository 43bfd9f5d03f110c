// The install script: the fixed table of rows. Its type ids and flags are in
// support/UItemTypes.h, the product constants in support/UProduct.h.
#pragma once

#include <cstdint>

#include "catalogue/UDirCodes.h"
#include "support/UItemTypes.h"
#include "support/UProduct.h"

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

// Options of a compile row: which of the IDE's compilers builds the package.
enum TCompileOption : uint32_t {
    coWin32 = 0,
    coWin64 = 1,
};

inline uint32_t ItemType(const TScriptItem& item) { return item.TypeId & itTypeMask; }

extern const TScriptItem ScriptItems[];
extern const int ScriptItemCount;
