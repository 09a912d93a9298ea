#include <sys/stat.h>
#include <QFile>
#include <QTcpServer>

#include "config/file_io.h"
#include "config/password.h"
#include "program_run.h"
#include "temp_home.h"

namespace sievo {
namespace {

using DataFolderTest = testing::TempHomeTest;

// The permission bits of a file or folder.
int Mode(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 0777) : -1;
}

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
        // Only its owner may read the folder and every file the program wrote.
        EXPECT_EQ(Mode(PathOf(root + c.expected)), 0700);
        EXPECT_EQ(Mode(PathOf(root + c.expected + "friends.lst")), 0600);
    }
}

// Under cron there is no session bus: the passwords stay in accounts.ini and the log says
// so once a start; an account whose password is in the keyring is not checked and its
// server hears nothing. A folder others could read is closed at the first start.
TEST_F(DataFolderTest, WithoutAKeyringThePasswordsStayAndOthersLoseAccess) {
    QTcpServer keyringAccountServer;
    ASSERT_TRUE(keyringAccountServer.listen(QHostAddress::LocalHost));
    WriteFile("accounts.ini",
              "[ENTRYCOUNT]\nNumEntries=2\n[USER1]\nPOPUser=ann\nPOPAddress=127.0.0.1:1\n"
              "Password=" +
                  PasswordToIni("pw") +
                  "\n[USER2]\nEMailAddr=bob@home.test\nPOPUser=bob\nPasswordStore=KEYRING\n"
                  "POPAddress=127.0.0.1:" +
                  std::to_string(keyringAccountServer.serverPort()) + "\n");
    ASSERT_EQ(chmod(Home().c_str(), 0755) + chmod(PathOf("accounts.ini").c_str(), 0644), 0);
    for (const long tightened : {1, 0}) {
        const auto run = testing::RunProgram(
            SIEVOMATIC_PROGRAM, {"/SINGLEPASS"},
            {{"SIEVOMATIC_HOME", Home()}, {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}});
        const QByteArray output = QByteArray::fromStdString(run.output);
        EXPECT_EQ(output.count("now only its owner can"), tightened) << run.output;
        for (const char* once : {"Passwords are kept in accounts.ini, scrambled, not encrypted: "
                                 "no keyring is available",
                                 "The password of account bob@home.test is kept in the keyring, "
                                 "which cannot be reached"})
            EXPECT_EQ(output.count(once), 1) << run.output;
    }
    EXPECT_EQ(Mode(Home()), 0700);
    EXPECT_EQ(Mode(PathOf("accounts.ini")), 0600);
    EXPECT_NE(ReadFile("accounts.ini").find("Password=" + PasswordToIni("pw")), std::string::npos);
    EXPECT_FALSE(keyringAccountServer.waitForNewConnection(100));
}

}  // namespace
}  // namespace sievo
