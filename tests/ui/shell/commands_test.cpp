#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/password.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/status_window.h"
#include "ui/shell/tray_menu.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// The menu as lines: submenus as "Parent > Item", separators as "-", short cuts in [].
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

TEST_F(CommandsTest, EveryWindowCommandShowsItsWindow) {
    WriteSetting("Main", "OpenedBefore", "1");
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
        QWidget* shown = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == row.window && window->isVisible())
                shown = window;
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

TEST_F(CommandsTest, StatusWindowClearAllEmptiesAndSavesTheLog) {
    WriteFile("logfile.txt", "12/31/1999 -- older line\r\n");
    Main().CreateStatusWindow();
    ActivityLog("newer line");
    auto* log = Main().Status()->findChild<QPlainTextEdit*>("memLog");
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(
        log->toPlainText().startsWith(QString::fromStdString(TheActivityLog().Lines().front())));
    EXPECT_TRUE(log->toPlainText().endsWith("12/31/1999 -- older line"));

    Main().Status()->findChild<QPushButton*>("btnClearAll")->click();
    EXPECT_TRUE(log->toPlainText().isEmpty());
    EXPECT_EQ(ReadFile("logfile.txt"), "");
}

TEST_F(CommandsTest, CleanMailNowDuringACheckTellsTheUserWhyNothingStarts) {
    ScriptedServer silent;
    silent.Hold();
    WriteAccount(1, {{"POPAddress", silent.Address()},
                     {"POPUser", "sam"},
                     {"Password", PasswordToIni("secret")}});
    TIniFile(AccountsPath()).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    Main().CreateStatusWindow();
    std::string newest;
    QTimer::singleShot(300, [&] {
        Main().Menu().cleanNow->trigger();
        newest = TheActivityLog().Lines().front();
        Main().Menu().close->trigger();
    });
    Main().Menu().cleanNow->trigger();

    EXPECT_NE(newest.find("A check is running already, so Clean Mail Now was not started."),
              std::string::npos)
        << newest;
    EXPECT_TRUE(Main().Status()->isVisible());  // no tray here to carry the notice
}

struct HandOverCase {
    const char* parameter;
    bool handedOver;
    std::vector<std::string> boxes;
};

class SecondStartTest : public MainWindowTest,
                        public ::testing::WithParamInterface<HandOverCase> {};

// The running program brings its rule list forward and says what it did not understand.
TEST_P(SecondStartTest, HandsItsCommandLineToTheRunningProgramExceptForASinglePass) {
    const HandOverCase& row = GetParam();
    WriteSetting("Main", "OpenedBefore", "1");
    std::vector<std::vector<std::string>> starts;
    SingleInstance running;
    running.Listen([&starts, this](const std::vector<std::string>& parameters) {
        starts.push_back(parameters);
        Main().HandleLaterStart(parameters);
    });
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});

    QProcess second;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SIEVOMATIC_HOME", QString::fromStdString(Home()));
    environment.insert("SIEVOMATIC_HEADLESS", "0");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    QSignalSpy finished(&second, &QProcess::finished);
    second.start(SIEVOMATIC_PROGRAM, {row.parameter});
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(second.exitCode(), 0);
    const std::vector<std::vector<std::string>> expected =
        row.handedOver ? std::vector<std::vector<std::string>>{{row.parameter}}
                       : std::vector<std::vector<std::string>>{};
    EXPECT_TRUE(QTest::qWaitFor([&] { return starts == expected; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return answerer.seen == row.boxes; }, 2000))
        << answerer.seen.size();
    EXPECT_EQ(Main().RuleList().isVisible(), row.handedOver);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, SecondStartTest,
    ::testing::Values(
        HandOverCase{
            "--anything", true, {"dlgMessage: Command-line option \"--anything\" not understood"}},
        HandOverCase{"/SINGLEPASS", false, {}}));

}  // namespace
}  // namespace sievo::testing

#include "commands_test.moc"
