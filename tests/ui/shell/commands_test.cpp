#include <QDesktopServices>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "../engine/mailbox_account.h"
#include "config/activity_log.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/status_window.h"
#include "ui/shell/tray_menu.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// Catches the pages the help and web commands hand to the desktop.
class OpenedPages : public QObject {
    Q_OBJECT
public:
    OpenedPages() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~OpenedPages() override { QDesktopServices::unsetUrlHandler("file"); }
    QStringList pages;
public slots:
    void Open(const QUrl& url) { pages << url.fileName() + "#" + url.fragment(); }
};

using CommandsTest = MainWindowTest;

void ListMenu(const QMenu& menu, const QString& prefix, QStringList& lines) {
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            lines << prefix + "-";
        else if (action->menu())
            ListMenu(*action->menu(), prefix + action->text() + " > ", lines);
        else if (action->shortcut().isEmpty())
            lines << prefix + action->text();
        else
            lines << prefix + action->text() + " [" + action->shortcut().toString() + "]";
    }
}

TEST(TrayMenuTest, ItemsSubmenusAndShortCutsInOrder) {
    TrayMenu menu;
    QStringList lines;
    ListMenu(menu.Menu(), "", lines);
    const QStringList expected = {
        "Rule List (Start Here)...",
        "Quick &Add... [Ctrl+F12]",
        "Clean Mail Now... [Ctrl+F10]",
        "-",
        "Auto-Check > Enable Auto-Check",
        "Auto-Check > Disable Auto-Check",
        "-",
        "Preview Waiting Messages... [Ctrl+F9]",
        "-",
        "Status...",
        "Tools > Lists > My Friends...",
        "Tools > Lists > Spammers...",
        "Tools > Reply / Report Messages...",
        "Tools > Options...",
        "Tools > -",
        "Tools > Accounts...",
        "Help > Contents...",
        "Help > Tell a Friend About Sievo...",
        "Help > Corvane on the Web > Visit Corvane...",
        "Help > Corvane on the Web > Subscribe to CorvaneNews Newsletter...",
        "Help > Corvane on the Web > Contact Corvane...",
        "Help > Corvane on the Web > Other Great Products...",
        "Help > Corvane on the Web > Technical Support...",
        "Help > Corvane on the Web > -",
        "Help > Corvane on the Web > Report a Spammer to Corvane...",
        "Help > Corvane on the Web > -",
        "Help > Corvane on the Web > Sievo Home Page...",
        "Help > -",
        "Help > About...",
        "-",
        "Close...",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(CommandsTest, EveryWindowCommandShowsItsWindow) {
    Main().CreateStatusWindow();
    TrayMenu& menu = Main().Menu();
    const struct {
        QAction* action;
        const char* window;
    } table[] = {
        {menu.ruleList, "frmList"},      {menu.status, "frmStatus"},
        {menu.friends, "frmFriends"},    {menu.spammers, "frmSpamList"},
        {menu.messages, "frmAutoReply"}, {menu.accounts, "frmAccounts"},
    };
    for (const auto& row : table) {
        row.action->trigger();
        QWidget* shown = TopLevel(row.window);
        ASSERT_NE(shown, nullptr) << row.window;
        EXPECT_FALSE(shown->accessibleName().isEmpty()) << row.window;
        QTest::keyClick(shown, Qt::Key_Escape);
        EXPECT_FALSE(shown->isVisible()) << row.window << " stays open on Escape";
    }
}

TEST_F(CommandsTest, ConfiguredBrowserGetsThePageWithoutAShell) {
    WriteProgram("browser", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/opened\"\n");
    WriteSetting("Browser", "CommandLine", PathOf("browser") + " --new-window");
    OpenedPages opened;
    Main().Menu().helpContents->trigger();
    EXPECT_TRUE(QTest::qWaitFor([this] { return ReadFile("opened").ends_with("#Introduction|"); }));
    EXPECT_EQ(ReadFile("opened"),
              "--new-window|file://" + PathOf("help/index.html") + "#Introduction|");
    EXPECT_TRUE(opened.pages.isEmpty());
}

TEST_F(CommandsTest, StatusWindowShowsTheLogAndClearAllEmptiesIt) {
    WriteFile("logfile.txt", "12/31/1999 -- older line\r\n");
    Main().CreateStatusWindow();
    ActivityLog("newer line");
    auto* log = Main().Status()->findChild<QPlainTextEdit*>("memLog");
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(
        log->toPlainText().startsWith(QString::fromStdString(TheActivityLog().Lines().front())));
    EXPECT_TRUE(log->toPlainText().endsWith("12/31/1999 -- older line"));

    Main().Status()->findChild<QPushButton*>("btnClearAll")->click();
    EXPECT_TRUE(log->toPlainText().isEmpty());  // as the log tells once it is cleared
}

// A second Clean Mail Now is refused where the user sees it (without a tray, in the status
// window); Close cancels the check at once, though the server would keep it waiting two
// minutes, and saves the log.
TEST_F(CommandsTest, CleanMailNowDuringACheckIsRefusedAndCloseEndsTheCheckAtOnce) {
    ScriptedServer silent;
    silent.Hold();
    AppendMailboxAccount(silent.Address());
    Main().CreateStatusWindow();
    const std::string refusal = "A check is running already, so Clean Mail Now was not started.";
    std::string newest;
    QTimer::singleShot(300, [&] {
        Main().Menu().cleanNow->trigger();
        newest = TheActivityLog().Lines().front();
        Main().Menu().close->trigger();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    Main().Menu().cleanNow->trigger();

    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_NE(newest.find(refusal), std::string::npos) << newest;
    EXPECT_TRUE(Main().Status()->isVisible());
    EXPECT_NE(ReadFile("logfile.txt").find(refusal), std::string::npos);
}

// The running program brings its rule list forward and says what it did not understand; a
// single pass runs in the program started for it.
TEST_F(CommandsTest, ALaterStartHandsItsCommandLineToTheRunningProgramExceptASinglePass) {
    WriteSetting("Main", "OpenedBefore", "1");
    std::vector<std::vector<std::string>> starts;
    SingleInstance running;
    running.Listen([&starts, this](const std::vector<std::string>& parameters) {
        starts.push_back(parameters);
        Main().HandleLaterStart(parameters);
    });
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
    for (const char* parameter : {"/SINGLEPASS", "--anything"}) {
        QProcess second;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SIEVOMATIC_HOME", QString::fromStdString(Home()));
        environment.insert("SIEVOMATIC_HEADLESS", "0");
        second.setProcessEnvironment(environment);
        QSignalSpy finished(&second, &QProcess::finished);
        second.start(SIEVOMATIC_PROGRAM, {parameter});
        ASSERT_TRUE(finished.wait(30000)) << parameter;
        EXPECT_EQ(second.exitCode(), 0) << parameter;
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return starts == std::vector<std::vector<std::string>>{{"--anything"}}; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return answerer.seen == std::vector<std::string>{
                                        "dlgMessage: Command-line option \"--anything\" not "
                                        "understood"};
        },
        2000))
        << answerer.seen.size();
    EXPECT_TRUE(Main().RuleList().isVisible());
}

}  // namespace
}  // namespace sievo::testing

#include "commands_test.moc"
