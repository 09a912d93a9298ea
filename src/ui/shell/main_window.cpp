#include "ui/shell/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <filesystem>
#include <optional>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "engine/single_pass.h"
#include "engine/user_services.h"
#include "engine/view_retrieval.h"
#include "mail/message.h"
#include "store/accounts_store.h"
#include "store/rule_store.h"
#include "store/settings_store.h"
#include "ui/accounts/accounts_window.h"
#include "ui/accounts/intro_wizard.h"
#include "ui/accounts/select_account_dialog.h"
#include "ui/lists/list_editor.h"
#include "ui/messages/tell_friend_dialog.h"
#include "ui/rules/previous_rules.h"
#include "ui/shell/options_dialog.h"
#include "ui/shell/sound_player.h"
#include "ui/shell/status_window.h"
#include "ui/shell/web_services.h"

namespace sievo {

namespace {

// X keysyms of the hot keys.
constexpr unsigned kKeyF9 = 0xffc6;
constexpr unsigned kKeyF10 = 0xffc7;
constexpr unsigned kKeyF12 = 0xffc9;

// The welcome wizard runs only when settings.ini says the program was never set up and no
// account exists yet: a wizard whose account was saved but whose OpenedBefore was not
// must not add the account again. An unreadable file (reported) is no first start.
bool IsFirstStart(const std::optional<bool>& openedBefore) {
    if (!openedBefore || *openedBefore)
        return false;
    int accounts = -1;
    Guarded([&] { accounts = accounts::Count(); });
    return accounts == 0;
}

}  // namespace

void BringForward(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void Guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& error) {
        AppException(error);
    }
}

TfrmMain::TfrmMain(std::unique_ptr<SoundPlayer> sounds)
    : sounds_(std::move(sounds)),
      tray_(menu_.Menu()),
      ruleList_(menu_, *sounds_),
      cleanProg_([this] { engine_.CancelScan(); }, [this] { ShowStatus(); }),
      checkDisplay_(cleanProg_, tray_, [this] { ruleList_.PROCloadRuleList(); }),
      questions_([this](int index) { ViewDeletionRow(index); }),
      updateDialogs_(*sounds_),
      engine_({checkDisplay_, questions_, *sounds_, launcher_}),
      updater_(updateDialogs_, [this] {
          // The update is no account's; it only needs the network an account would.
          TSievoUser account;
          return engine_.EnsureConnection(account, PassMode::kScheduled);
      }) {
    setObjectName("frmMain");
    TheActivityLog().SetEarlyErrorDisplay(
        [this](const std::string& text) { questions_.ShowMessage(text); });
    accountContext_ = {[this] { return engine_.PauseSchedule(); },
                       [this](bool on) { on ? EnableAutoCheck() : DisableAutoCheck(); },
                       [this] { return engine_.DialUpEntries(); },
                       [this] { return engine_.DialUpService(); },
                       [this] { PROCAddAccountWizard(); },
                       [this] { return engine_.PassRunning(); }};
    ConnectCommands();
    ConnectHelp();
    connect(&tray_, &TrayIcons::MainDoubleClicked, this,
            [this] { Guarded([this] { ShowRuleList(); }); });
    connect(&tray_, &TrayIcons::MailClicked, menu_.preview, &QAction::trigger);
    connect(&tray_, &TrayIcons::TrayMissing, this, [this](bool missing) {
        ruleList_.SetTrayMissing(missing, &menu_.Menu());
        if (missing)
            Guarded([this] { ShowRuleList(); });
    });
}

TfrmMain::~TfrmMain() {
    TheActivityLog().SetEarlyErrorDisplay({});
}

void TfrmMain::OnTriggered(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [command = std::move(command)] { Guarded(command); });
}

void TfrmMain::ConnectCommands() {
    OnTriggered(menu_.ruleList, [this] { ShowRuleList(); });
    OnTriggered(menu_.quickAdd, [this] { ruleList_.A1Click(); });
    OnTriggered(menu_.cleanNow, [this] { CleanMailNow(); });
    OnTriggered(menu_.enableAutoCheck, [this] { EnableAutoCheck(); });
    OnTriggered(menu_.disableAutoCheck, [this] { DisableAutoCheck(); });
    OnTriggered(menu_.preview, [this] { PROCPreview(); });
    OnTriggered(menu_.status, [this] { ShowStatus(); });
    OnTriggered(menu_.friends, [this] {
        if (!friends_)
            friends_ = std::make_unique<TfrmFriends>();
        BringForward(*friends_);
    });
    OnTriggered(menu_.spammers, [this] {
        if (!spammers_)
            spammers_ = std::make_unique<TfrmSpamList>();
        BringForward(*spammers_);
    });
    OnTriggered(menu_.messages, [this] { BringForward(autoReply_); });
    OnTriggered(menu_.options, [this] {
        const SchedulePause pause = engine_.PauseSchedule();
        PROCShowOptions([this] { updater_.FBOOLGetUpdate("SPAMLIST"); });
    });
    OnTriggered(menu_.accounts, [this] { ShowAccounts(); });
    OnTriggered(menu_.close, [this] { FormCloseQuery(); });
}

void TfrmMain::ConnectHelp() {
    OnTriggered(menu_.helpContents, [] { OpenHelpTopic("Introduction"); });
    OnTriggered(menu_.tellAFriend, [this] { PROCTellAFriend(&engine_.DialUp()); });
    std::size_t next = 0;
    for (const WebLink& link : WebLinks()) {
        if (*link.text == '\0')
            continue;
        const std::string anchor = link.anchor;
        OnTriggered(menu_.webLinks[next++], [anchor] { OpenHelpTopic(anchor); });
    }
    OnTriggered(menu_.about, [this] { ShowAbout(); });
}

void TfrmMain::RegisterHotKeys() {
    hotKeys_.RegisterCtrl(kKeyF9, "Ctrl+F9", [this] { menu_.preview->trigger(); });
    hotKeys_.RegisterCtrl(kKeyF10, "Ctrl+F10", [this] { menu_.cleanNow->trigger(); });
    hotKeys_.RegisterCtrl(kKeyF12, "Ctrl+F12", [this] { menu_.quickAdd->trigger(); });
}

// Each step is guarded: a failed update or a file that could not be moved must not leave
// the program without its tray icon or its schedule.
void TfrmMain::FormCreate() {
    std::optional<bool> openedBefore;
    Guarded([&] { openedBefore = settings::OpenedBefore(); });
    const bool firstStart = IsFirstStart(openedBefore);
    if (firstStart) {
        Guarded([] {
            const std::string previous = PreviousRulesPath();
            if (std::filesystem::exists(previous))
                PROCMovePreviousRules("Move", previous, rule_store::Path());
        });
        Guarded([this] { FLBOOLCorPlaySound(*sounds_, ProgramFile("welcome.wav")); });
    }
    // An unreadable settings.ini was reported once; the steps reading it again are skipped.
    bool updateDue = false;
    if (openedBefore.has_value())
        Guarded([&] { updateDue = AutoUpdateDue(QDateTime::currentDateTime()); });
    if (firstStart) {
        PROCAddAccountWizard();
        Guarded([this] { ShowRuleList(); });
    }
    tray_.Activate();
    if (updateDue && openedBefore.value_or(false))
        Guarded([this] { updater_.FBOOLGetUpdate("SPAMLIST"); });
    Guarded([] { FBOOLDoUpdate(ProgramFile("spamlist.new"), ProgramFile("sievo.lst")); });
    RestoreAutoCheck(openedBefore.has_value());
}

// Off, without asking, when settings.ini could not be read.
void TfrmMain::RestoreAutoCheck(bool settingsRead) {
    bool autoCheck = false;
    if (settingsRead)
        Guarded([&] { autoCheck = settings::AutoEnabled(); });
    SetAutoCheckMirror(autoCheck);
    if (!autoCheck)
        return;
    engine_.StartSchedule();
    Guarded([this] { engine_.WatchForNewMail(true); });
}

void TfrmMain::PROCAddAccountWizard() {
    sievo::PROCAddAccountWizard(accountContext_);
}

void TfrmMain::ShowAccounts() {
    if (!accounts_)
        accounts_ = std::make_unique<TfrmAccounts>(accountContext_);
    BringForward(*accounts_);
}

void TfrmMain::CreateStatusWindow() {
    status_ = std::make_unique<TfrmStatus>();
}

bool TfrmMain::HandleCommandLine(const CommandLineRequest& request) {
    if (!request.complaint.empty())
        questions_.ShowMessage(request.complaint);
    if (!request.singlePass)
        return false;
    ShowStatus();
    Guarded([this] { CheckEveryAccountOnce(engine_); });
    FormCloseQuery();
    return true;
}

void TfrmMain::HandleLaterStart(const std::vector<std::string>& parameters) {
    Guarded([this] { ShowRuleList(); });
    const CommandLineRequest request = ParseCommandLine(parameters);
    if (!request.complaint.empty())
        questions_.ShowMessage(request.complaint);
}

// The engine starts no second pass while one runs; the user who asked is told so where
// it is seen, not only in a detail line of the log.
void TfrmMain::CleanMailNow() {
    if (!engine_.PassRunning()) {
        engine_.C3Click();
        return;
    }
    const std::string refusal =
        "A check is running already, so Clean Mail Now was not started. Ask again once it "
        "has ended.";
    ActivityLog(refusal);
    if (!tray_.Notify(QString::fromStdString(refusal)))
        ShowStatus();
}

void TfrmMain::FormCloseQuery() {
    engine_.Shutdown();
    preview_.Shutdown();
    Guarded([] { TheActivityLog().Save(); });
    // exit() rather than quit(): quit() first asks every window to close, and the rule list
    // refuses while it stands in for a missing tray, which would keep the program running.
    // exit() also ends any dialog's loop that is open at that moment. Without a running loop
    // there is nothing to end, and exit() would make every later loop return at once.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void TfrmMain::SetAutoCheckMirror(bool enabled) {
    ruleList_.MirrorAutoCheck(enabled);
    (enabled ? menu_.enableAutoCheck : menu_.disableAutoCheck)->setChecked(true);
}

void TfrmMain::EnableAutoCheck() {
    SetAutoCheckMirror(true);
    engine_.SetAutoCheck(true);
    engine_.WatchForNewMail(true);
    QCoreApplication::processEvents();
    SetAutoCheckMirror(engine_.ScheduleRunning());
    QCoreApplication::processEvents();
    if (!engine_.ScheduleRunning() && engine_.ScanRunning())
        engine_.CancelScan();
}

void TfrmMain::DisableAutoCheck() {
    SetAutoCheckMirror(false);
    if (engine_.ScanRunning())
        engine_.CancelScan();
    engine_.SetAutoCheck(false);
    engine_.WatchForNewMail(false);
    QCoreApplication::processEvents();
    SetAutoCheckMirror(engine_.ScheduleRunning());
    QCoreApplication::processEvents();
}

void TfrmMain::ShowRuleList() {
    BringForward(ruleList_);
}

void TfrmMain::QuickAdd(const QString& address) {
    Guarded([&] { ruleList_.QuickAddAddress(address); });
}

void TfrmMain::ShowStatus() {
    if (status_)
        status_->ShowStatus();
}

void TfrmMain::ShowAbout() {
    QMessageBox about(QMessageBox::Information, tr("About Sievomatic"),
                      tr("Sievomatic Version %1").arg(kProgramVersion), QMessageBox::Ok);
    about.setObjectName("dlgAbout");
    about.exec();
}

void TfrmMain::PROCPreview() {
    if (preview_.isVisible())
        return;
    if (accounts::Count() == 0) {
        questions_.ShowMessage("There are no accounts set up to preview.  Select Tools | Accounts");
        return;
    }
    const int number = [this] {
        const SchedulePause pause = engine_.PauseSchedule();
        return FINTSelectAccount();
    }();
    if (number == -1)
        return;
    preview_.Open(accounts::ForCheck(number));
}

PreviewCommands TfrmMain::PreviewHandlers() {
    return {
        [this](TSievoUser& account) { engine_.EnsureConnection(account, PassMode::kUserStarted); },
        [this] { CleanMailNow(); }, [this](const QString& address) { QuickAdd(address); },
        [this](const TSievoUser& account) { return FBOOLLaunchMailClient(launcher_, account); }};
}

void TfrmMain::ViewDeletionRow(int index) {
    TmsMessage message;
    message.LoadFromFile(engine_.FetchForViewing(index));
    messageView_.ShowMessage(message, TfrmMessageView::Heads::Bare, true);
}

}  // namespace sievo
