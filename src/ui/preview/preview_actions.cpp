// The preview's commands on listed messages: viewing one, deleting the ticked ones.
#include <QScopeGuard>
#include <QScopedValueRollback>

#include "config/activity_log.h"
#include "engine/view_retrieval.h"
#include "mail/account_clients.h"
#include "mail/message.h"
#include "net/event_pump.h"
#include "ui/common/message_boxes.h"
#include "ui/preview/message_view_window.h"
#include "ui/preview/preview_window.h"

namespace sievo {

void TfrmPrev::ViewMessage() {
    const int index = SelectedIndex();
    if (index < 0 || !account_)
        return;
    SetStatus("Connecting to the Internet");
    commands_.prepareConnection(*account_);
    SetStatus("Setting retrieval options");
    ApplyPopAccount(viewClient_, *account_);
    viewClient_.KeepConnection = true;
    // Whatever happens, the next view starts on a fresh session.
    const auto close = qScopeGuard([this] { viewClient_.Close(); });
    SetStatus("Opening connection");
    if (!viewClient_.Connected())
        viewClient_.ConnectAndLogin();
    VerifyListed(index);
    SetStatus("Retrieving Message");
    const std::string file = RetrieveForViewing(viewClient_, index);
    TmsMessage message;
    SetStatus("Loading Message");
    message.LoadFromFile(file);
    viewer_.ShowMessage(message, TfrmMessageView::Heads::Labelled);
    SetStatus("Viewing Message");
    SetStatus("Closing Connection");
    viewClient_.LogoutAndClose();
    SetStatus("");
}

// Another client may have deleted messages since the listing, and message numbers move
// up when it does.
void TfrmPrev::VerifyListed(int index) {
    TmsRemoteInfo& known = viewClient_.RemoteInfo();
    known.Clear();
    for (int before = 0; before < index; ++before)
        known.Add(TmsRemoteInfoItem());
    known.Add(listingClient_.RemoteInfo()[index]);
    viewClient_.VerifyMessage(index);
}

// The key and the menu item both end here. What is deleted is the ticked rows, not the
// highlighted one, and it cannot be undone, so the question says how many and where.
bool TfrmPrev::ConfirmDeletion() {
    const std::size_t ticked = model_.CheckedIndexes().size();
    if (ticked == 0) {
        ShowUserMessage(this, tr("No message is ticked.  Tick the messages to delete first."));
        return false;
    }
    const QString what =
        ticked == 1 ? tr("the ticked message") : tr("the %1 ticked messages").arg(ticked);
    return AskUserYesNo(this, tr("Delete %1 from the server of %2?  This cannot be undone.")
                                  .arg(what, QString::fromStdString(account_->EMailAddr)));
}

void TfrmPrev::DeleteCheckedItems() {
    if (!account_)
        return;
    if (listingClient_.Connected()) {
        ShowUserMessage(nullptr, tr("Please wait until done downloading headers before deleting"));
        return;
    }
    if (!ConfirmDeletion())
        return;
    int count = 0;
    if (DeleteChecked(count)) {
        SetStatus("Deleted " + std::to_string(count) + " messages, please wait... refreshing");
        PumpEvents();
    }
    // After a failure too: the numbers of the messages may have changed, and the list
    // must show what really waits. An account asked for meanwhile is listed instead.
    DownloadHeaders(requested_.value_or(*account_));
}

bool TfrmPrev::DeleteChecked(int& count) {
    const QScopedValueRollback busy(busy_, true);
    PumpEvents();
    SetStatus("Setting retrieval options");
    ApplyPopAccount(listingClient_, *account_);
    listingClient_.KeepConnection = true;
    try {
        SetStatus("Opening connection");
        listingClient_.ConnectAndLogin();
        SetStatus("Deleting, please wait...");
        PumpEvents();
        for (int index = 0; index < listingClient_.RemoteInfo().Count(); ++index)
            listingClient_.Unmark(index);
        for (const int index : model_.CheckedIndexes()) {
            ++count;
            listingClient_.MarkForDelete(index);
            ActivityLog("Manually Deleting " + std::to_string(count) + " messages.", false,
                        &*account_);
        }
        // Each message is checked against the listing before it is deleted.
        listingClient_.TransferData();
        return true;
    } catch (const std::exception& error) {
        // Ended without QUIT, so none of this command's deletions takes effect: after a
        // message that is not the one listed, the others are in doubt too.
        listingClient_.Cancel();
        AppException(error);
        return false;
    }
}

}  // namespace sievo
