#include <QFile>

#include "config/file_io.h"
#include "program_run.h"
#include "temp_home.h"

namespace sievo {
namespace {

using DataFolderTest = testing::TempHomeTest;

// The program is copied away from the build and the source tree, as a crontab line or a
// portable copy would use it, and must still find its data folder and lay in its defaults.
TEST_F(DataFolderTest, ACopiedProgramChoosesItsFolderAndLaysInItsDefaultFiles) {
    const struct {
        bool homeSet, settingsBesideProgram, xdgSet;
        const char* expected;
    } cases[] = {
        {true, true, true, "home/"},
        {false, true, true, "bin/"},
        {false, false, true, "xdg/sievomatic/"},
        {false, false, false, "user/.local/share/sievomatic/"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string root = "case" + std::to_string(++n) + "/";
        for (const char* folder : {"bin", "home", "xdg", "user"})
            ASSERT_TRUE(EnsureFolder(PathOf(root + folder)));
        const std::string program = PathOf(root + "bin/sievomatic");
        ASSERT_TRUE(QFile::copy(SIEVOMATIC_PROGRAM, QString::fromStdString(program)));
        if (c.settingsBesideProgram)
            WriteFile(root + "bin/settings.ini", "");

        const auto run =
            testing::RunProgram(program, {"/SINGLEPASS"},
                                {{"SIEVOMATIC_HOME", c.homeSet ? PathOf(root + "home") : ""},
                                 {"XDG_DATA_HOME", c.xdgSet ? PathOf(root + "xdg") : ""},
                                 {"HOME", PathOf(root + "user")}});
        EXPECT_EQ(run.exitCode, 0) << run.output;
        for (const auto& other : cases)  // every folder a case chooses
            for (const char* file : {"friends.lst", "sievo.lst"})
                EXPECT_EQ(ReadWholeFile(PathOf(root + other.expected + file)).has_value(),
                          &other == &c)
                    << other.expected << file;
    }
}

}  // namespace
}  // namespace sievo
