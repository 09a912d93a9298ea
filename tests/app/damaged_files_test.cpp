#include <sys/resource.h>

#include <QByteArray>
#include <csignal>

#include "config/password.h"
#include "dovecot_server.h"
#include "program_run.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::DovecotServer;

// A file that is no settings file: the start of an executable.
const std::string kBinary(
    "\x7f"
    "ELF\2\1\1\0\0\0\0\0\0\0\0\0\3\0>\0",
    20);

class DamagedFilesTest : public testing::TempHomeTest {
protected:
    std::string Accounts(const std::string& count) const {
        return "[ENTRYCOUNT]\r\nNumEntries=" + count +
               "\r\n\r\n[USER1]\r\nPOPAddress=" + dovecot->PlainAddress() +
               "\r\nPOPUser=" + DovecotServer::kUserName +
               "\r\nPassword=" + PasswordToIni(DovecotServer::kPassword) + "\r\nMailNotify=0\r\n";
    }
    // One rule that hits nothing, so the mailbox stays as it is for every run.
    static std::string Rules(const std::string& count) {
        return "[ProcedureCount]\r\nNumProcs=" + count +
               "\r\n\r\n[PROCEDURE1]\r\nCriteria=SUBCONT\r\nValue=no such subject\r\n";
    }

    std::unique_ptr<DovecotServer> dovecot;
};

TEST_F(DamagedFilesTest, ASinglePassNeitherTrustsNorOverwritesWhatTheFilesCannotBack) {
    dovecot = std::make_unique<DovecotServer>(
        DovecotServer::Options{DovecotServer::GeneratedMessages(2), "", ""});
    ASSERT_TRUE(dovecot->Started()) << dovecot->Error();
    const std::string kChecked = "sam - END Scanning mailbox, 0 total SPAM messages sieved";
    const std::string kTooMany = " is more than the ";
    const struct {
        const char* file;
        std::string bytes;
        int status;
        std::string logged;  // exactly once
        bool checked;        // the mailbox was checked
    } cases[] = {
        {"accounts.ini", Accounts("2147483647"), 0,
         "accounts.ini: NumEntries=2147483647 is more than the USER sections the file holds; "
         "1 are read.",
         true},
        {"rules.ini", Rules("2147483647"), 0,
         "rules.ini: NumProcs=2147483647 is more than the PROCEDURE sections the file holds; 1 "
         "are read.",
         true},
        {"rules.ini", kBinary, 1, PathOf("rules.ini") + " is damaged", false},
        {"accounts.ini", kBinary, 1, PathOf("accounts.ini") + " is damaged", false},
        {"settings.ini", kBinary, 1, PathOf("settings.ini") + " is damaged", false},
        {"rules.ini", "Criteria=SUBCONT\r\nValue=free\r\n", 1, PathOf("rules.ini") + " is damaged",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.logged);
        WriteFile("settings.ini", "[Main]\r\nOpenedBefore=1\r\n");
        WriteFile("accounts.ini", Accounts("1"));
        WriteFile("rules.ini", Rules("1"));
        WriteFile(c.file, c.bytes);

        const auto run =
            testing::RunProgram(SIEVOMATIC_PROGRAM, {"/SINGLEPASS"}, {{"SIEVOMATIC_HOME", Home()}});
        EXPECT_EQ(run.exitCode, c.status) << run.output;
        const QByteArray output = QByteArray::fromStdString(run.output);
        EXPECT_EQ(output.count(c.logged), 1) << run.output;
        EXPECT_EQ(output.count(kChecked), c.checked ? 1 : 0) << run.output;
        EXPECT_EQ(output.count(kTooMany), c.checked ? 1 : 0) << run.output;
        EXPECT_EQ(ReadFile(c.file), c.bytes);
    }
}

// `ulimit -f 1`, as a quota or a shell sets it: the first default file laid into the new
// data folder is refused, which is said like any other refused write.
TEST_F(DamagedFilesTest, AStartUnderAFileSizeLimitReportsTheRefusedWrite) {
    const auto run = testing::RunProgram(SIEVOMATIC_PROGRAM, {"/SINGLEPASS"},
                                         {{"SIEVOMATIC_HOME", Home()}}, {}, [] {
                                             rlimit limit{};
                                             getrlimit(RLIMIT_FSIZE, &limit);
                                             limit.rlim_cur = 1024;
                                             setrlimit(RLIMIT_FSIZE, &limit);
                                             std::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
                                         });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("Cannot create file " + Home()), std::string::npos) << run.output;
}

}  // namespace
}  // namespace sievo
