#include <QAbstractButton>
#include <QDir>
#include <QTimer>

#include "file_size_limit.h"
#include "http_server.h"
#include "modal_answerer.h"
#include "server_process.h"
#include "store/accounts_store.h"
#include "ui/accounts/intro_wizard.h"
#include "ui/shell/status_window.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

using StartUpTest = MainWindowTest;

TEST_F(StartUpTest, FirstStartRunsTheWizardWelcomesAndLeavesAutoCheckOff) {
    WriteSetting("Main", "AutoEnabled", "yes");  // not a number: off
    // A due update waits until the program has been set up.
    WriteSetting("AUTOUPDATE", "ENABLED", "1");
    WriteSetting("AUTOUPDATE", "UpdateURL", "http://127.0.0.1:9/updates.ini");
    ModalAnswerer answerer(ModalAnswerer::Answers{{"frmIntro", "btnCancel"}, {"dlgMessage", "OK"}});
    Main().FormCreate();

    EXPECT_EQ(answerer.seen, std::vector<std::string>{"frmIntro"});
    EXPECT_EQ(sounds, std::vector<std::string>{PathOf("welcome.wav")});
    EXPECT_TRUE(Main().RuleList().isVisible());
    EXPECT_FALSE(Main().Engine().ScheduleRunning());
    EXPECT_TRUE(Main().Menu().disableAutoCheck->isChecked());
    // A cancelled wizard sets nothing up, so the next start is a first start again.
    EXPECT_EQ(TIniFile(PathOf("settings.ini")).ReadString("Main", "OpenedBefore", "none"), "none");
}

TEST_F(StartUpTest, ADamagedSettingsFileIsReportedOnceAndRunsNoWizard) {
    const std::string damaged("\177ELF\2\1\1\0", 8);
    WriteFile("settings.ini", damaged);
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
    Main().FormCreate();

    EXPECT_EQ(answerer.seen, std::vector<std::string>{"dlgMessage: " + PathOf("settings.ini") +
                                                      " is damaged: it is not a settings file. "
                                                      "It is left as it is; repair or remove it."});
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(Main().Menu().disableAutoCheck->isChecked());
    EXPECT_EQ(ReadFile("accounts.ini"), "<missing>");
    EXPECT_EQ(ReadFile("settings.ini"), damaged);
}

void FinishWizard(QWidget& window) {
    auto& wizard = static_cast<TfrmIntro&>(window);
    // Nothing listens on these ports, so the security check ends at once.
    FillInMailbox(wizard, {FreePort(), FreePort()}, "sam@example.test", "secret");
    for (int step = 2; step < 5; ++step)
        wizard.next();
    // Clicked from the event loop: a refused write opens a box the answerer must see.
    QTimer::singleShot(0, wizard.button(QWizard::FinishButton), &QAbstractButton::click);
}

struct RefusedWriteCase {
    const char* name;
    rlim_t sizeLimit;
    const char* refusedFile;
    int accountsAfter;
};

class FirstStartWriteTest : public MainWindowTest,
                            public ::testing::WithParamInterface<RefusedWriteCase> {};

// A first start whose writes are refused says so and goes on; the next start adds the
// account only when none was saved.
TEST_P(FirstStartWriteTest, IsReportedAndNeverAddsTheAccountTwice) {
    const RefusedWriteCase& row = GetParam();
    // Too long to be written again under the limit, short enough to be read.
    WriteFile("settings.ini", "[Main]\r\n;" + std::string(2000, '-') + "\r\n");
    {
        const FileSizeLimit limit(row.sizeLimit);
        // A refused account keeps the wizard open until the user gives up.
        const bool accountRefused = row.accountsAfter == 0;
        ModalAnswerer::Answers answers{{"frmIntro", "", FinishWizard}, {"dlgMessage", "OK"}};
        std::vector<std::string> expected{
            "frmIntro", "dlgMessage: Unable to write to " + PathOf(row.refusedFile)};
        if (accountRefused) {
            answers.push_back({"frmIntro", "btnCancel"});
            expected.push_back("frmIntro");
        }
        ModalAnswerer answerer(answers);
        Main().FormCreate();
        EXPECT_EQ(answerer.seen, expected);
        EXPECT_TRUE(Main().RuleList().isVisible());
    }
    EXPECT_EQ(accounts::Count(), row.accountsAfter);

    Restart();
    ModalAnswerer later(ModalAnswerer::Answers{{"frmIntro", "btnCancel"}});
    Main().FormCreate();
    EXPECT_EQ(later.seen, row.accountsAfter == 0 ? std::vector<std::string>{"frmIntro"}
                                                 : std::vector<std::string>{});
    EXPECT_EQ(accounts::Count(), row.accountsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, FirstStartWriteTest,
    ::testing::Values(RefusedWriteCase{"NothingWritable", 0, "accounts.ini", 0},
                      RefusedWriteCase{"SettingsNotWritable", 1024, "settings.ini", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, LaterStartWithAutoCheckIsSilentAndStartsTheTimer) {
    WriteSetting("Main", "OpenedBefore", "1");
    WriteSetting("Main", "AutoEnabled", "1");
    ModalAnswerer answerer(ModalAnswerer::Answers{});
    Main().FormCreate();

    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(Main().Engine().ScheduleRunning());
    EXPECT_TRUE(Main().Menu().enableAutoCheck->isChecked());
    EXPECT_EQ(Main().RuleList().windowTitle(), "Rule List - AutoCheck Enabled");

    Main().Menu().disableAutoCheck->trigger();
    EXPECT_FALSE(Main().Engine().ScheduleRunning());
    EXPECT_EQ(TIniFile(PathOf("settings.ini")).ReadString("Main", "AutoEnabled", ""), "0");
}

TEST_F(StartUpTest, ADueUpdateAsksAndTakesTheNewListOnlyOnYes) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf("site/updates"))));
    WriteFile("site/new.lst", "new@spam.test\r\n");
    HttpServer server(PathOf("site"));
    ASSERT_NE(server.Port(), 0);
    const std::string site = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    WriteFile("site/updates/updates.ini",
              "[SPAMLIST]\r\nLastUpdate=20260101\r\nFileURL=" + site + "new.lst\r\n");
    WriteFile("sievo.lst", "old@spam.test\r\n");
    WriteSetting("Main", "OpenedBefore", "1");
    WriteSetting("AUTOUPDATE", "ENABLED", "1");
    WriteSetting("AUTOUPDATE", "UpdateURL", site + "updates/updates.ini");
    const std::string question =
        "dlgQuestion: There is a new spammer/UCE e-mail address list available for "
        "Sievomatic.  Do you want to retrieve it?";
    for (const char* answer : {"No", "Yes"}) {
        WriteSetting("AUTOUPDATE", "LastAutoUpdateDate", "20000101");
        Restart();
        const bool yes = answer == std::string("Yes");
        ModalAnswerer answerer(
            ModalAnswerer::Answers{{"dlgQuestion", answer}, {"dlgMessage", "OK"}});
        Main().FormCreate();
        std::vector<std::string> expected{question};
        if (yes)
            expected.push_back(
                "dlgMessage: Update complete... to turn on/off Auto-Update click Options from the "
                "main screen.");
        EXPECT_EQ(answerer.seen, expected);
        EXPECT_EQ(ReadFile("sievo.lst"), yes ? "new@spam.test\r\n" : "old@spam.test\r\n");
    }
}

// "/singlepass" in any letter case runs one pass with the status window shown and ends the
// program; anything else is refused, and the program goes on.
TEST_F(StartUpTest, OnlyASinglePassOnTheCommandLineEndsTheProgram) {
    WriteSetting("Main", "OpenedBefore", "1");
    Main().FormCreate();
    Main().CreateStatusWindow();
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
    EXPECT_FALSE(Main().HandleCommandLine(ParseCommandLine({"/SINGLE", "ignored"})));
    EXPECT_EQ(answerer.seen, std::vector<std::string>{
                                 "dlgMessage: Command-line option \"/SINGLE\" not understood"});
    EXPECT_FALSE(Main().Status()->isVisible());

    EXPECT_TRUE(Main().HandleCommandLine(ParseCommandLine({"/singlepass", "ignored"})));
    EXPECT_TRUE(Main().Status()->isVisible());
    EXPECT_NE(ReadFile("logfile.txt").find("Running in single pass mode."), std::string::npos);
}

}  // namespace
}  // namespace sievo::testing
