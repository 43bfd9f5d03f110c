// Rows of the install script for the tests: the four fields most rows need, and the
// rest set by name where a test needs them.
#pragma once

#include <cstdint>

#include "catalogue/UDirCodes.h"
#include "script/UScriptItems.h"

namespace cvltest {

struct TTestRow : TScriptItem {
    TTestRow& Second(const wchar_t* Name2Value, uint32_t Dir2Value) {
        Name2 = Name2Value;
        Dir2 = Dir2Value;
        return *this;
    }
    TTestRow& WithParam(const wchar_t* Value) {
        Param = Value;
        return *this;
    }
    TTestRow& WithOptions(uint32_t Value) {
        Options = Value;
        return *this;
    }
    TTestRow& WithTarget(const TScriptTarget* Value) {
        Target = Value;
        return *this;
    }
};

inline TTestRow Row(uint32_t TypeId, const wchar_t* Name = nullptr, uint32_t Code = 0, uint32_t Dir = dcNone) {
    return TTestRow{{TypeId, Name, Code, Dir, nullptr, nullptr, dcNone, 0, nullptr}};
}

}  // namespace cvltest
