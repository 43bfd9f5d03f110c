#include "script/UScriptItems.h"

// clang-format off
const TScriptItem ScriptItems[] = {
    // TypeId                      Name                 Code  Dir     Param    Name2    Dir2  Options Target
    {itCreateDir,                  L"",                 0,    dcRoot, nullptr, nullptr, 0,    0,      nullptr},
    {itCreateDir,                  L"Source",           0,    dcRoot, nullptr, nullptr, 0,    0,      nullptr},
    {itCopyResource,               L"Source\\cvl.inc",  1,    dcRoot, nullptr, nullptr, 0,    0,      nullptr},
};
// clang-format on

const int ScriptItemCount = static_cast<int>(sizeof(ScriptItems) / sizeof(ScriptItems[0]));
