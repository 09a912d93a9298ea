#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "config/account.h"
#include "mail/ms_remote_pop.h"
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
// without downloading them, to view, delete or turn into a rule.
class TfrmPrev : public QDialog {
    Q_OBJECT

public:
    // POPPrev is the main window's client that lists and deletes; the window sets its
    // handlers. Viewing goes through a client of the window's own.
    TfrmPrev(TmsRemotePOP& POPPrev, TfrmMessageView& viewer, PreviewCommands commands,
             QWidget* parent = nullptr);
    // The client outlives the window; its handlers must not.
    ~TfrmPrev() override;

    // Shows the window and lists the account's messages; the list's menu is usable once
    // something was listed.
    void Open(const TSievoUser& account);
    // Lists the messages waiting for the account. A failure is reported once and leaves
    // the rows received so far, with Start to try again. Called while a listing runs, it
    // stops that one and lists this account instead.
    void DownloadHeaders(const TSievoUser& account);
    // The program ends: a running download stops at once.
    void Shutdown();

    PreviewListModel& List() { return model_; }
    bool PopupEnabled() const { return popupEnabled_; }

private:
    void BuildWindow();
    QWidget* BuildSideButtons();
    void BuildPopupMenu();
    void ConnectListingClient();

    void SetStatus(const std::string& text);
    void SetPopupEnabled(bool enabled);
    // The listing position of the selected row; -1 when none is selected.
    int SelectedIndex() const;
    // Runs a command of the window; its errors reach the error handler.
    void Command(const std::function<void()>& command);

    // Lists the account in account_, unless a newer request came meanwhile.
    void ListAccount();
    void BeginDownload(const TSievoUser& account);
    void ListHeaders(const TSievoUser& account);
    void ReportListingFailure(const std::exception& error);
    void EndDownload(bool completed);
    void POPPrevNextInfoUpdated(int Num);
    void CancelWhenClosing();

    void ViewMessage();
    // Makes sure the message at `index` is still the one listed, so another is never
    // shown in its place.
    void VerifyListed(int index);
    void DeleteCheckedItems();
    // Asks before the ticked messages are deleted; false when nothing is ticked or the
    // answer is No.
    bool ConfirmDeletion();
    // Deletes the ticked messages; false when the deletion failed (reported, nothing
    // deleted).
    bool DeleteChecked(int& count);
    void QuickAdd();
    void btnCancelClick();
    void btnCleanClick();
    void btnLaunchClick();

    TmsRemotePOP& listingClient_;
    TmsRemotePOP viewClient_;
    TfrmMessageView& viewer_;
    PreviewCommands commands_;
    std::optional<TSievoUser> account_;
    // The account a download was asked for last, until its listing starts.
    std::optional<TSievoUser> requested_;
    PreviewListModel model_;
    bool busy_ = false;     // a listing or a deletion uses the listing client
    bool listing_ = false;  // a listing does
    bool canceledByUser_ = false;
    bool shuttingDown_ = false;
    bool popupEnabled_ = false;

    QLabel* lblStatus_;
    QLabel* lblNum_;
    QTreeView* lstVRem_;
    QProgressBar* prgHeaders_;
    QPushButton* btnCancel_;
    QMenu* mnuList_;
};

}  // namespace sievo
