#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine/mail_engine.h"
#include "ui/accounts/account_context.h"
#include "ui/messages/auto_reply_window.h"
#include "ui/preview/message_view_window.h"
#include "ui/preview/preview_window.h"
#include "ui/rules/rule_list_window.h"
#include "ui/shell/check_display.h"
#include "ui/shell/clean_progress_dialog.h"
#include "ui/shell/detached_launcher.h"
#include "ui/shell/dialog_questions.h"
#include "ui/shell/hot_keys.h"
#include "ui/shell/tray_icons.h"
#include "ui/shell/tray_menu.h"
#include "ui/shell/update_dialogs.h"
#include "update/spam_list_updater.h"

class QWidget;

namespace sievo {

class SoundPlayer;
class TfrmAccounts;
class TfrmFriends;
class TfrmSpamList;
class TfrmStatus;

// The program's hidden main window: it is never shown, owns the mail engine,
// the tray icons, the hot keys and the updater, and carries out the menu's commands.
class TfrmMain : public QObject {
    Q_OBJECT

public:
    explicit TfrmMain(std::unique_ptr<SoundPlayer> sounds);
    ~TfrmMain() override;

    // The start-up sequence, from the previous-version offer to the auto-check state.
    void FormCreate();
    // Creates the status window, which brings the activity log to life.
    void CreateStatusWindow();
    // The command line, handled once the windows exist. Answers true when the program
    // is to end now (after a single pass).
    bool HandleCommandLine(const CommandLineRequest& request);
    // A later start's command line, handed over by the single-instance socket: brings the
    // rule list forward and says what it did not understand.
    void HandleLaterStart(const std::vector<std::string>& parameters);
    // Stops the timer, cancels the sessions, saves the log and ends the event loop.
    void FormCloseQuery();

    // The three hot keys; a key that cannot be had is logged.
    void RegisterHotKeys();

    void EnableAutoCheck();
    void DisableAutoCheck();
    void ShowRuleList();
    // Quick Add with the wizard's address box filled in.
    void QuickAdd(const QString& address);

    MailEngine& Engine() { return engine_; }
    TrayMenu& Menu() { return menu_; }
    TrayIcons& Tray() { return tray_; }
    TfrmList& RuleList() { return ruleList_; }
    TfrmAutoReply& AutoReply() { return autoReply_; }
    TfrmStatus* Status() { return status_.get(); }
    TfrmCleanProg& CleanProg() { return cleanProg_; }
    TfrmPrev& Preview() { return preview_; }
    TfrmMessageView& MessageView() { return messageView_; }

private:
    void ConnectCommands();
    void ConnectHelp();
    void PROCAddAccountWizard();
    void CleanMailNow();
    void ShowAccounts();
    void SetAutoCheckMirror(bool enabled);
    void RestoreAutoCheck(bool settingsRead);
    void ShowStatus();
    void ShowAbout();
    void PROCPreview();
    PreviewCommands PreviewHandlers();
    // Shows a message of the deletion confirmation, fetched through the scan's mailbox.
    void ViewDeletionRow(int index);
    // Connects a menu item to a command whose errors reach the error handler.
    void OnTriggered(QAction* action, std::function<void()> command);

    std::unique_ptr<SoundPlayer> sounds_;
    TrayMenu menu_;
    TrayIcons tray_;
    TfrmList ruleList_;
    TfrmAutoReply autoReply_;
    std::unique_ptr<TfrmStatus> status_;
    TfrmCleanProg cleanProg_;
    CheckDisplay checkDisplay_;
    DialogQuestions questions_;
    DetachedLauncher launcher_;
    UpdateDialogs updateDialogs_;
    MailEngine engine_;
    SpamListUpdater updater_;
    GlobalHotKeys hotKeys_;
    AccountContext accountContext_;
    std::unique_ptr<TfrmAccounts> accounts_;
    std::unique_ptr<TfrmFriends> friends_;
    std::unique_ptr<TfrmSpamList> spammers_;
    TfrmMessageView messageView_;
    TfrmPrev preview_{messageView_, PreviewHandlers()};
};

// Runs a step, handing any error to the error handler, so one failed step does not keep
// the rest from running.
void Guarded(const std::function<void()>& step);

// Shows a window, or brings it to the front when it is open already.
void BringForward(QWidget& window);

}  // namespace sievo
