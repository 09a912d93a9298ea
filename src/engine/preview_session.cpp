#include "engine/preview_session.h"

#include <QScopedValueRollback>

#include "config/activity_log.h"
#include "engine/view_retrieval.h"
#include "mail/message.h"
#include "net/event_pump.h"
#include "net/net_errors.h"

namespace sievo {

namespace {

// The listing may wait on a slow server this long for each reply.
constexpr int kListingTimeOutSeconds = 120;

}  // namespace

PreviewSession::PreviewSession(std::function<void(TSievoUser&)> prepareConnection,
                               PreviewEvents events)
    : prepareConnection_(std::move(prepareConnection)), events_(std::move(events)) {}

MailboxEvents PreviewSession::ListingEvents() {
    MailboxEvents events;
    events.error = [this](const std::string& text) {
        ActivityLog(text);
        events_.status(text);
    };
    events.listed = [this](int index, int total) {
        events_.listed(index, total, session_->Listing()[index]);
        PumpEvents();
    };
    events.starting = [this] {
        if (shuttingDown_)
            session_->Cancel();
    };
    return events;
}

// A request that comes while a listing runs (the window closed and opened again for
// another account) is the one the user wants now: the running listing stops and the loop
// below lists the account asked for last.
void PreviewSession::List(const TSievoUser& account) {
    requested_ = account;
    if (busy_) {
        if (listing_ && session_)
            session_->Cancel();
        return;
    }
    const QScopedValueRollback busy(busy_, true);
    while (requested_) {
        account_ = std::move(*requested_);
        requested_.reset();
        ListAccount();
    }
}

void PreviewSession::ListAccount() {
    const QScopedValueRollback listing(listing_, true);
    prepareConnection_(*account_);
    PumpEvents();
    if (requested_)
        return;
    events_.status("Please wait while " + account_->EMailAddr + " message headers are downloaded");
    events_.listingStarted();
    ActivityLog("Message preview requested", false, &*account_);
    canceledByUser_ = false;
    bool completed = false;
    try {
        ListHeaders(*account_);
        completed = true;
    } catch (const std::exception& error) {
        ReportListingFailure(error);
    }
    if (completed) {
        PumpEvents();
        const int n = session_->Listing().Count();
        events_.status(n > 0 ? account_->EMailAddr + " has " + std::to_string(n) +
                                   " new mail messages -- click to view"
                             : account_->EMailAddr + " has no mail waiting");
    }
    events_.listingEnded(completed);
}

void PreviewSession::ListHeaders(const TSievoUser& account) {
    // Made anew for each listing, so a failed one leaves no session of another account.
    session_.reset();
    session_ = MakeMailboxSession(account, ListingEvents());
    session_->SetTimeOut(kListingTimeOutSeconds);
    events_.status("Logging in...");
    session_->Connect();
    ActivityLog("Downloading Headers for message preview", true, &account);
    PumpEvents();
    // A cancel while the events ran has closed the connection already.
    if (!session_->Connected())
        throw ECanceledError(SocketMessageText(kMsgCanceled));
    events_.status("Downloading Headers for user " + account.EMailAddr);
    session_->List();
    session_->Commit();
}

// Told once, here: the error has ended the listing, and nothing else reports it again.
void PreviewSession::ReportListingFailure(const std::exception& error) {
    if (session_)
        session_->Cancel();
    // Neither the user's own Cancel, nor a newer request, nor the program's end is a
    // failure.
    const bool meant = canceledByUser_ || requested_ || shuttingDown_;
    if (meant && dynamic_cast<const ECanceledError*>(&error)) {
        events_.status("Message Preview Canceled");
        return;
    }
    AppException(error);
    events_.status(error.what());
}

void PreviewSession::CancelListing() {
    canceledByUser_ = true;
    if (session_)
        session_->Cancel();
    events_.status("Message Preview Canceled");
}

void PreviewSession::Shutdown() {
    shuttingDown_ = true;
    if (session_ && session_->Connected())
        session_->Cancel();
}

void PreviewSession::View(int index, const std::function<void(TmsMessage&)>& show) {
    if (!account_ || !session_)
        return;
    // Taken now: a listing started meanwhile replaces the session.
    const TmsRemoteInfoItem listed = session_->Listing()[index];
    events_.status("Connecting to the Internet");
    prepareConnection_(*account_);
    events_.status("Setting retrieval options");
    // A session of its own, as the listing's may be busy; whatever happens, the next view
    // starts on a fresh one.
    const auto view = MakeMailboxSession(*account_);
    events_.status("Opening connection");
    view->Connect();
    view->Verify(index, listed);
    events_.status("Retrieving Message");
    const std::string file = RetrieveForViewing(*view, index);
    TmsMessage message;
    events_.status("Loading Message");
    message.LoadFromFile(file);
    show(message);
    events_.status("Viewing Message");
    events_.status("Closing Connection");
    view->Commit();
    events_.status("");
}

void PreviewSession::Delete(const std::vector<int>& indexes) {
    if (!account_ || !session_)
        return;
    if (DeleteChosen(indexes)) {
        events_.status("Deleted " + std::to_string(indexes.size()) +
                       " messages, please wait... refreshing");
        PumpEvents();
    }
    // After a failure too: the numbers of the messages may have changed, and the list
    // must show what really waits. An account asked for meanwhile is listed instead.
    List(requested_.value_or(*account_));
}

bool PreviewSession::DeleteChosen(const std::vector<int>& indexes) {
    const QScopedValueRollback busy(busy_, true);
    PumpEvents();
    try {
        events_.status("Opening connection");
        session_->Connect();
        events_.status("Deleting, please wait...");
        PumpEvents();
        for (int index = 0; index < session_->Listing().Count(); ++index)
            session_->Unmark(index);
        int count = 0;
        for (const int index : indexes) {
            session_->MarkForDelete(index);
            ActivityLog("Manually Deleting " + std::to_string(++count) + " messages.", false,
                        &*account_);
        }
        // Each message is checked against the listing before it is deleted.
        session_->CarryOutMarks();
        return true;
    } catch (const std::exception& error) {
        // Ended without committing, so none of this command's deletions takes effect:
        // after a message that is not the one listed, the others are in doubt too.
        session_->Cancel();
        AppException(error);
        return false;
    }
}

}  // namespace sievo
