// The preview's commands on listed messages: viewing one, deleting the ticked ones.
#include "mail/message.h"
#include "net/event_pump.h"
#include "ui/common/message_boxes.h"
#include "ui/preview/message_view_window.h"
#include "ui/preview/preview_window.h"

namespace sievo {

void TfrmPrev::ViewMessage() {
    const int index = SelectedIndex();
    if (index < 0)
        return;
    session_.View(index, [this](TmsMessage& message) {
        viewer_.ShowMessage(message, TfrmMessageView::Heads::Labelled);
    });
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
    const TSievoUser& account = *session_.Account();
    const QString mailbox = QString::fromStdString(account.EMailAddr);
    // An IMAP account moves them aside unless it deletes spam for good.
    if (account.Protocol == "IMAP" && !account.ExpungeSpam)
        return AskUserYesNo(this, tr("Move %1 of %2 to its spam folder?").arg(what, mailbox));
    return AskUserYesNo(
        this, tr("Delete %1 from the server of %2?  This cannot be undone.").arg(what, mailbox));
}

void TfrmPrev::DeleteCheckedItems() {
    if (!session_.Account())
        return;
    if (session_.Busy()) {
        ShowUserMessage(nullptr, tr("Please wait until done downloading headers before deleting"));
        return;
    }
    if (ConfirmDeletion())
        session_.Delete(model_.CheckedIndexes());
}

}  // namespace sievo
