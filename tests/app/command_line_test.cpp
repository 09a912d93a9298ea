#include "engine/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "program_run.h"
#include "temp_home.h"

namespace sievo {
namespace {

// The request as one line: its flags, then " | " and the complaint when there is one.
std::string Described(const CommandLineRequest& request) {
    std::string text;
    for (const auto& [on, name] :
         {std::pair{request.singlePass, "single-pass "}, std::pair{request.dryRun, "dry-run "},
          std::pair{request.help, "help "}, std::pair{request.version, "version "}})
        text += on ? name : "";
    return request.complaint.empty() ? text : text + "| " + request.complaint;
}

TEST(CommandLine, TheFirstParameterKeepsItsRuleAndLinuxOptionsCountAnywhere) {
    const struct {
        std::vector<std::string> parameters;
        std::string request;
    } cases[] = {
        {{}, ""},
        {{"/SINGLEPASS"}, "single-pass "},
        {{"/SinglePassNow"}, "single-pass "},
        {{"/SINGLEPASS", "/X"}, "single-pass "},
        {{"/SINGLE"}, "| Command-line option \"/SINGLE\" not understood"},
        {{"/X", "/SINGLEPASS"}, "| Command-line option \"/X\" not understood"},
        {{"--dry-run", "--single-pass"}, "single-pass dry-run "},
        {{"/X", "-h", "--version"}, "help version | Command-line option \"/X\" not understood"},
        {{"--single-pass", "--bogus", "-x"},
         "single-pass | Command-line option \"--bogus\" not understood"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Described(ParseCommandLine(c.parameters)), c.request) << c.parameters.size();
}

using ProgramCommandLineTest = testing::TempHomeTest;

TEST_F(ProgramCommandLineTest, HelpVersionAndMistakesEndAtOnceWithoutTouchingTheDataFolder) {
    const std::string home = Home() + "never-made";
    const struct {
        QStringList arguments;
        int status;
        std::string saying;
    } cases[] = {
        {{"--help"}, 0, "Usage: sievomatic [OPTION]..."},
        {{"/SINGLEPASS", "-h"}, 0, "SIEVOMATIC_DRY_RUN"},
        {{"--version"}, 0, "Sievomatic 3.2f\n"},
        {{"/X", "/SINGLEPASS"}, 2, "Command-line option \"/X\" not understood"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const auto run =
            testing::RunProgram(SIEVOMATIC_PROGRAM, c.arguments, {{"SIEVOMATIC_HOME", home}});
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_NE(run.output.find(c.saying), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(home));
    }
}

TEST_F(ProgramCommandLineTest, ASinglePassWithoutAccountsSaysWhereToAddOne) {
    const auto run = testing::RunProgram(SIEVOMATIC_PROGRAM, {"--single-pass", "--dry-run"},
                                         {{"SIEVOMATIC_HOME", Home()}});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Dry run: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("No mail account is set up"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(PathOf("accounts.ini")), std::string::npos) << run.output;
}

}  // namespace
}  // namespace sievo
