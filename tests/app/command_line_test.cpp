#include "app/command_line.h"

#include <gtest/gtest.h>

namespace sievo {
namespace {

TEST(CommandLine, OnlyTheFirstElevenCharactersOfTheFirstParameterCount) {
    struct Case {
        std::vector<std::string> parameters;
        bool singlePass;
        std::string complaint;
    };
    const Case cases[] = {
        {{}, false, ""},
        {{"/SINGLEPASS"}, true, ""},
        {{"/singlepass"}, true, ""},
        {{"/SinglePassNow"}, true, ""},
        {{"/SINGLEPASS", "/X"}, true, ""},
        {{"/SINGLE"}, false, "Command-line option \"/SINGLE\" not understood"},
        {{"/X", "/SINGLEPASS"}, false, "Command-line option \"/X\" not understood"},
    };
    for (const auto& c : cases) {
        const auto request = ParseCommandLine(c.parameters);
        EXPECT_EQ(request.singlePass, c.singlePass);
        EXPECT_EQ(request.complaint, c.complaint);
    }
}

}  // namespace
}  // namespace sievo
