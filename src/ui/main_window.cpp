#include "ui/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <filesystem>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/settings.h"
#include "engine/user_services.h"
#include "mail/message.h"
#include "ui/previous_rules.h"
#include "ui/sound_player.h"
#include "ui/status_window.h"
#include "ui/view_retrieval.h"
#include "ui/web_services.h"

namespace sievo {

namespace {

// X keysyms of the hot keys.
constexpr unsigned kKeyF9 = 0xffc6;
constexpr unsigned kKeyF10 = 0xffc7;
constexpr unsigned kKeyF12 = 0xffc9;

// The account to preview: the first one, until the account chooser exists.
int SelectPreviewAccount() {
    return 1;
}

QString RuleListCaption(bool autoCheck) {
    return autoCheck ? QObject::tr("Rule List - AutoCheck Enabled")
                     : QObject::tr("Rule List - AutoCheck Disabled");
}

}  // namespace

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
      ruleList_("frmList", RuleListCaption(false),
                tr("The rule list: every rule with what it looks for, what it does and how "
                   "often it has hit, sorted by any column, with commands to add, change and "
                   "delete rules.")),
      cleanProg_([this] { CancelScanSession(); }, [this] { ShowStatus(); }),
      host_(*sounds_, cleanProg_, tray_, nullptr),
      updater_([this] {
          // The update is no account's; it only needs the network an account would.
          TSievoUser account(0);
          return engine_.EnsureConnection(account, "");
      }) {
    setObjectName("frmMain");
    ConnectCommands();
    ConnectHelp();
    connect(&tray_, &TrayIcons::MainDoubleClicked, this, &TfrmMain::ShowRuleList);
    connect(&tray_, &TrayIcons::MailClicked, menu_.preview, &QAction::trigger);
    host_.SetDeletionViewer([this](int index) { ViewDeletionRow(index); });
    connect(&tray_, &TrayIcons::TrayMissing, this, [this](bool missing) {
        ruleList_.SetTrayMissing(missing, &menu_.Menu());
        if (missing)
            ShowRuleList();
    });
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::OnTriggered(QAction* action, std::function<void()> command) {
    connect(action, &QAction::triggered, this,
            [command = std::move(command)] { Guarded(command); });
}

void TfrmMain::OnStandIn(QAction* action, const char* objectName, const QString& caption,
                         const QString& description) {
    OnTriggered(action, [=, this] { ShowStandIn(objectName, caption, description); });
}

void TfrmMain::ConnectCommands() {
    OnTriggered(menu_.ruleList, [this] { ShowRuleList(); });
    OnStandIn(menu_.quickAdd, "frmRuleWizard", tr("Rule Wizard"),
              tr("The rule wizard: step by step to a new rule, from what to look for to "
                 "what to do with the messages it finds."));
    OnTriggered(menu_.cleanNow, [this] { engine_.C3Click(); });
    OnTriggered(menu_.enableAutoCheck, [this] { EnableAutoCheck(); });
    OnTriggered(menu_.disableAutoCheck, [this] { DisableAutoCheck(); });
    OnTriggered(menu_.preview, [this] { PROCPreview(); });
    OnTriggered(menu_.status, [this] { ShowStatus(); });
    OnStandIn(menu_.friends, "frmFriends", tr("My Friends"),
              tr("The friends list: addresses and domains whose mail no rule deletes."));
    OnStandIn(menu_.spammers, "frmSpamList", tr("Spammers"),
              tr("The list of known spammers that the spammer-list rule checks senders "
                 "against, with its last update."));
    OnStandIn(menu_.messages, "frmAutoReply", tr("Reply / Report Messages"),
              tr("The library of reply and report messages that rules send, with their "
                 "merge codes."));
    OnStandIn(menu_.options, "frmOptions", tr("Options"),
              tr("The options: logging, sounds, the browser and automatic updates of the "
                 "spammer list."));
    OnStandIn(menu_.accounts, "frmAccounts", tr("Accounts"),
              tr("The mail accounts: servers, log-in, schedule, connection and the mail "
                 "program to start after a check."));
    OnTriggered(menu_.close, [this] { FormCloseQuery(); });
}

void TfrmMain::ConnectHelp() {
    OnTriggered(menu_.helpContents, [] { OpenHelpTopic("Introduction"); });
    OnStandIn(menu_.tellAFriend, "frmTell", tr("Tell a Friend"),
              tr("Tell a friend: a ready-made message about Sievomatic, sent to the "
                 "addresses you enter."));
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
    bool openedBefore = false;
    Guarded([&] { openedBefore = settings::OpenedBefore(); });
    if (!openedBefore) {
        Guarded([] {
            const std::string previous = PreviousRulesPath();
            if (std::filesystem::exists(previous))
                PROCMovePreviousRules("Move", previous, ProgramFile("rules.ini"));
        });
        Guarded([] { FLBOOLCorPlaySound(ProgramFile("welcome.wav")); });
    }
    bool updateDue = false;
    Guarded([&] { updateDue = AutoUpdateDue(QDateTime::currentDateTime()); });
    if (!openedBefore) {
        PROCAddAccountWizard();
        ShowRuleList();
    }
    tray_.Activate();
    if (updateDue && openedBefore)
        Guarded([this] { updater_.FBOOLGetUpdate("SPAMLIST"); });
    Guarded([] { FBOOLDoUpdate(ProgramFile("spamlist.new"), ProgramFile("sievo.lst")); });
    Guarded([this] {
        const bool autoCheck = settings::AutoEnabled();
        SetAutoCheckMirror(autoCheck);
        if (autoCheck)
            engine_.Timer1.start();
    });
}

void TfrmMain::PROCAddAccountWizard() {
    StandInWindow wizard(
        "frmWizard", tr("Welcome to Sievomatic"),
        tr("The welcome wizard: your first mail account, its schedule and the mail program "
           "to start after a check. Finish lets Sievomatic start; nothing is set up yet."),
        StandInWindow::Kind::Wizard);
    wizard.exec();
}

void TfrmMain::CreateStatusWindow() {
    status_ = std::make_unique<TfrmStatus>();
}

bool TfrmMain::HandleCommandLine(const CommandLineRequest& request) {
    if (request.singlePass) {
        ShowStatus();
        Guarded([this] { engine_.RunSinglePass(); });
        FormCloseQuery();
        return true;
    }
    if (!request.complaint.empty())
        host_.ShowMessage(request.complaint);
    return false;
}

void TfrmMain::FormCloseQuery() {
    engine_.Shutdown();
    preview_.Shutdown();
    Guarded([] { TheActivityLog().Save(); });
    QCoreApplication::quit();
}

void TfrmMain::SetAutoCheckMirror(bool enabled) {
    ruleList_.setWindowTitle(RuleListCaption(enabled));
    (enabled ? menu_.enableAutoCheck : menu_.disableAutoCheck)->setChecked(true);
}

void TfrmMain::EnableAutoCheck() {
    SetAutoCheckMirror(true);
    engine_.Timer1.start();
    QCoreApplication::processEvents();
    SetAutoCheckMirror(engine_.Timer1.isActive());
    settings::SetAutoEnabled(true);
    QCoreApplication::processEvents();
    if (!engine_.Timer1.isActive() && engine_.ScanInProgress)
        CancelScanSession();
}

void TfrmMain::DisableAutoCheck() {
    SetAutoCheckMirror(false);
    if (engine_.ScanInProgress)
        CancelScanSession();
    engine_.Timer1.stop();
    QCoreApplication::processEvents();
    SetAutoCheckMirror(engine_.Timer1.isActive());
    settings::SetAutoEnabled(false);
    QCoreApplication::processEvents();
}

void TfrmMain::CancelScanSession() {
    if (engine_.POP.Connected())
        engine_.POP.Cancel();
}

void TfrmMain::ShowRuleList() {
    ruleList_.show();
    ruleList_.raise();
    ruleList_.activateWindow();
}

void TfrmMain::ShowStatus() {
    if (status_)
        status_->ShowStatus();
}

void TfrmMain::ShowAbout() {
    QMessageBox about(QMessageBox::Information, tr("About Sievomatic"),
                      tr("Sievomatic Version 3.2f"), QMessageBox::Ok);
    about.setObjectName("dlgAbout");
    about.exec();
}

void TfrmMain::ShowStandIn(const char* objectName, const QString& caption,
                           const QString& description) {
    auto& window = standIns_[objectName];
    if (!window)
        window = std::make_unique<StandInWindow>(objectName, caption, description);
    window->show();
    window->raise();
    window->activateWindow();
}

void TfrmMain::PROCPreview() {
    if (preview_.isVisible())
        return;
    if (AccountCount() == 0) {
        host_.ShowMessage("There are no accounts set up to preview.  Select Tools | Accounts");
        return;
    }
    const int number = SelectPreviewAccount();
    if (number == -1)
        return;
    preview_.Open(TSievoUser(number));
}

PreviewCommands TfrmMain::PreviewHandlers() {
    return {[this](TSievoUser& account) { engine_.EnsureConnection(account, "SINGLEPASS"); },
            [this] { engine_.C3Click(); }, [this](const QString& address) { QuickAdd(address); }};
}

void TfrmMain::QuickAdd(const QString& address) {
    menu_.quickAdd->trigger();
    standIns_.at("frmRuleWizard")->SetDetail(tr("Messages from: %1").arg(address));
}

void TfrmMain::ViewDeletionRow(int index) {
    engine_.POP.ConnectAndLogin();
    TmsMessage message;
    message.LoadFromFile(RetrieveForViewing(engine_.POP, index));
    messageView_.ShowMessage(message, TfrmMessageView::Heads::Bare, true);
    // Only marks are set so far; the scan deletes after the confirmation.
    engine_.POP.LogoutAndClose();
}

}  // namespace sievo
