#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/console_log.h"

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

TEST(ConsoleLog, PrintsTheLinesTheLogKeeps) {
    std::ostringstream out;
    ConsoleLog console(out);
    console.OnActivity("kept line", "1/2/2026 3:04:05 PM", true);
    console.OnActivity("detail line", "1/2/2026 3:04:06 PM", false);
    EXPECT_EQ(out.str(), "1/2/2026 3:04:05 PM -- kept line\n");
}

}  // namespace
}  // namespace sievo
