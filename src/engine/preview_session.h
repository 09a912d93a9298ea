#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/account.h"
#include "mail/mailbox_session.h"

namespace sievo {

class TmsMessage;

// What the preview session tells the window; every handler is needed.
struct PreviewEvents {
    std::function<void(const std::string& text)> status;
    // A listing starts: the rows of the last one go.
    std::function<void()> listingStarted;
    // Message `index` of the `total` in the mailbox has been listed.
    std::function<void(int index, int total, const TmsRemoteInfoItem& item)> listed;
    // The listing ended; false when it failed or was cancelled.
    std::function<void(bool completed)> listingEnded;
};

// The preview of one mailbox, below its window: lists the waiting messages from their
// headers without downloading them, fetches one for viewing, deletes chosen ones. One
// listing at a time: a second one on the same session would read the first one's replies.
class PreviewSession {
public:
    // `prepareConnection` makes sure the network is there for the account, as for a pass
    // the user started.
    PreviewSession(std::function<void(TSievoUser&)> prepareConnection, PreviewEvents events);

    // Lists the messages waiting for the account. A failure is reported once and leaves
    // the items received so far. Called while a listing runs, it stops that one and lists
    // this account instead.
    void List(const TSievoUser& account);
    // The user's Cancel: the running listing stops, without an error.
    void CancelListing();
    // The program ends: a running listing stops at once.
    void Shutdown();
    // Fetches listed message `index` over a session of its own and hands it to `show`;
    // a message that is no longer the one listed is never shown in its place.
    void View(int index, const std::function<void(TmsMessage&)>& show);
    // Deletes the listed messages at `indexes`, each checked against the listing first,
    // then lists the mailbox again (or the account asked for meanwhile). A failure is
    // reported and deletes nothing.
    void Delete(const std::vector<int>& indexes);

    // The account listed last; nothing before the first listing.
    const std::optional<TSievoUser>& Account() const { return account_; }
    // A listing or a deletion uses the session.
    bool Busy() const { return busy_; }

private:
    MailboxEvents ListingEvents();
    // Lists the account in account_, unless a newer request came meanwhile.
    void ListAccount();
    void ListHeaders(const TSievoUser& account);
    void ReportListingFailure(const std::exception& error);
    bool DeleteChosen(const std::vector<int>& indexes);

    std::function<void(TSievoUser&)> prepareConnection_;
    PreviewEvents events_;
    // The session of the last listing, which a deletion checks its messages against.
    std::unique_ptr<MailboxSession> session_;
    std::optional<TSievoUser> account_;
    // The account a listing was asked for last, until its listing starts.
    std::optional<TSievoUser> requested_;
    bool busy_ = false;
    bool listing_ = false;
    bool canceledByUser_ = false;
    bool shuttingDown_ = false;
};

}  // namespace sievo
