#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "config/account.h"
#include "engine/preview_session.h"
#include "ui/preview/preview_list_model.h"

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace sievo {

class TfrmMessageView;

// What the preview asks of the main window.
struct PreviewCommands {
    // Makes sure the network is there for the account, as for a pass the user started.
    std::function<void(TSievoUser&)> prepareConnection;
    // Clean Mail Now.
    std::function<void()> cleanNow;
    // Opens the rule wizard for a sender's address.
    std::function<void(const QString& address)> quickAdd;
    // Starts the account's mail program; false when it could not.
    std::function<bool(const TSievoUser&)> launchMailClient;
};

// "Mail Preview Center": the messages waiting in one mailbox, listed from their headers
// without downloading them, to view, delete or turn into a rule. The window shows what its
// preview session finds and hands the user's commands to it.
class TfrmPrev : public QDialog {
    Q_OBJECT

public:
    TfrmPrev(TfrmMessageView& viewer, PreviewCommands commands, QWidget* parent = nullptr);

    // Shows the window and lists the account's messages; the list's menu is usable once
    // something was listed.
    void Open(const TSievoUser& account);
    // Lists the messages waiting for the account (see PreviewSession::List); a failed
    // listing leaves Start to try again.
    void DownloadHeaders(const TSievoUser& account) { session_.List(account); }
    // The program ends: a running download stops at once.
    void Shutdown() { session_.Shutdown(); }

    PreviewListModel& List() { return model_; }
    bool PopupEnabled() const { return popupEnabled_; }

private:
    void BuildWindow();
    QWidget* BuildSideButtons();
    void BuildPopupMenu();
    PreviewEvents SessionEvents();

    void SetStatus(const std::string& text);
    void SetPopupEnabled(bool enabled);
    // The listing position of the selected row; -1 when none is selected.
    int SelectedIndex() const;
    // Runs a command of the window; its errors reach the error handler.
    void Command(const std::function<void()>& command);

    void BeginDownload();
    void EndDownload(bool completed);
    void POPPrevNextInfoUpdated(int Num, int count, const TmsRemoteInfoItem& item);

    void ViewMessage();
    void DeleteCheckedItems();
    // Asks before the ticked messages are deleted; false when nothing is ticked or the
    // answer is No.
    bool ConfirmDeletion();
    void QuickAdd();
    void btnCancelClick();
    void btnCleanClick();
    void btnLaunchClick();

    TfrmMessageView& viewer_;
    PreviewCommands commands_;
    PreviewListModel model_;
    bool popupEnabled_ = false;

    QLabel* lblStatus_;
    QLabel* lblNum_;
    QTreeView* lstVRem_;
    QProgressBar* prgHeaders_;
    QPushButton* btnCancel_;
    QMenu* mnuList_;
    PreviewSession session_;
};

}  // namespace sievo
