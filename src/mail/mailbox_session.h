#pragma once

#include <QByteArray>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mail/mailbox_listing.h"
#include "mail/remote_info.h"
#include "net/tls_settings.h"

namespace sievo {

class TSievoUser;

// Where a mailbox is and how to log in to it.
struct MailboxLogin {
    std::string server;  // "host" or "host:port"
    std::string user;
    std::string password;
    TlsMode security = TlsMode::None;
};

// What a session tells while it works; every handler may be left empty.
struct MailboxEvents {
    // Every error, told before it is raised, and the notes that end nothing (a listing cut
    // at its limit, a header block too large to keep).
    std::function<void(const std::string& text)> error;
    // Item `index` of the listing has arrived (they arrive in order); `total` is how many
    // messages the mailbox holds, which may be more than a listing takes in.
    std::function<void(int index, int total)> listed;
    // A listing or a retrieval is about to start: the last moment to cancel before it.
    std::function<void()> starting;
    // The header cache could not be written: the listing stands, the next one fetches more.
    std::function<void(const std::string& text)> cacheNotSaved;
    // A message marked for retrieval could not be written to its file: it is not deleted
    // either, and the transfer goes on. Without a handler the failure ends the transfer.
    std::function<void(const std::string& text)> notStored;
};

// One mailbox on a server, whatever the protocol speaks: a connection with the account's
// security, the listing of the waiting messages, and marks that are carried out only for
// messages that still are what the listing saw. Deletions take effect when the session is
// committed; a cancelled session commits nothing. Waits pump events, so `Cancel` from an
// event handler ends whatever waits.
class MailboxSession : public MailboxListing {
public:
    // Called with the index of each message as its copy is written, before its deletion.
    using CopiedEvent = std::function<void(int index)>;

    virtual void SetTimeOut(int seconds) = 0;
    // Folder for the copies of messages marked for retrieval ("msg_" + index + ".eml"; a
    // copy already there is never replaced).
    virtual void SetMessageFolder(const std::string& folder) = 0;
    virtual const std::string& MessageFolder() const = 0;

    // Connects and logs in, unless connected already.
    virtual void Connect() = 0;
    virtual bool Connected() const = 0;
    // True once the current connection is encrypted (a refused log-in may follow).
    virtual bool Encrypted() const = 0;

    // The folders of the mailbox that can hold mail, in the server's order, connecting first
    // when needed; none where the protocol knows a single mailbox only.
    virtual std::vector<std::string> Folders() { return {}; }

    // Lists every message, connecting first when needed; the connection stays open. On an
    // error the items listed so far stay.
    virtual void List() = 0;
    // Raises "IDs are different" unless message `index` is still the one `listed` shows
    // (another client may have deleted messages, and then the numbers move).
    virtual void Verify(int index, const TmsRemoteInfoItem& listed) = 0;
    // The whole of message `index`, over the open session.
    virtual QByteArray Retrieve(int index) = 0;
    // Copies and deletes the marked messages, each verified against the listing first,
    // then commits. An error stops at that message and leaves the session open, except a
    // copy that could not be written (see MailboxEvents::notStored).
    virtual void CarryOutMarks(const CopiedEvent& copied = {}) = 0;
    // Ends the session so that the server carries out its deletions, and closes.
    virtual void Commit() = 0;
    // Drops the session without committing; ends whatever waits.
    virtual void Cancel() = 0;
};

// The session for the account's mailbox (POP3 or IMAP, as its Protocol says), logging in with the
// account's server, user, password and security, and keeping its header cache. An unknown security
// text is told through `events.error` and raised.
std::unique_ptr<MailboxSession> MakeMailboxSession(const TSievoUser& account,
                                                   MailboxEvents events = {});
// A POP3 session for a log-in given in full, as the welcome wizard's security check
// tries ports of its own.
std::unique_ptr<MailboxSession> MakePop3Session(const MailboxLogin& login,
                                                MailboxEvents events = {});
// An IMAP session on the INBOX for a log-in given in full.
std::unique_ptr<MailboxSession> MakeImapSession(const MailboxLogin& login,
                                                MailboxEvents events = {});

}  // namespace sievo
