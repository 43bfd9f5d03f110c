// The command-line switch rules.
#include <gtest/gtest.h>

#include "setup/UMain.h"

namespace {

struct Case {
    std::vector<std::wstring> args;
    bool copyOnly, enableControls, showHelp, extract;
};

TEST(ParseArguments, TheLastAcceptedArgumentDecides) {
    const Case cases[] = {
        {{}, false, false, false, false},
        {{L"/?"}, false, false, true, false},
        {{L"-h"}, false, false, true, false},
        {{L"\\H"}, false, false, true, false},
        {{L"/h"}, false, false, true, false},
        {{L"/x"}, false, false, false, true},
        {{L"/X", L"extra"}, false, false, false, true},
        {{L"/C", L"/X"}, false, false, false, true},
        {{L"/X", L"/C"}, true, false, false, false},
        {{L"/C", L"/Z"}, false, false, false, false},
        {{L"/E"}, false, true, false, false},
        {{L"/C", L"/Help"}, true, false, false, false},
        {{L"/C", L"/"}, true, false, false, false},
        {{L"/C", L"xC"}, true, false, false, false},
        {{L"/C", L"C"}, true, false, false, false},
        {{L"/XX"}, false, false, false, false},
        {{L"-?x"}, false, false, false, false},
        // clang-format off
        {{L"/\u00E7"}, false, false, false, false},   // no folding beyond a..z
        {{L"\u2215C"}, false, false, false, false},   // not a switch prefix
        // clang-format on
        {{L"-c"}, true, false, false, false},
        {{L"\\e", L""}, false, true, false, false},
    };
    for (const auto& c : cases) {
        TSwitchFlags f = ParseArguments(c.args);
        std::string where = testing::PrintToString(c.args);
        EXPECT_EQ(f.CopyOnly, c.copyOnly) << where;
        EXPECT_EQ(f.EnableControls, c.enableControls) << where;
        EXPECT_EQ(f.ShowHelp, c.showHelp) << where;
        EXPECT_EQ(f.ExtractFiles, c.extract) << where;
    }
}

}  // namespace
