#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mail/mailbox_session.h"
#include "mail/ms_imap.h"

namespace sievo {

// Where an IMAP account's mail is judged and where a condemned message goes.
struct ImapFolders {
    std::string judged = "INBOX";
    // Empty: the folder the server marks \Junk, else "Junk", created when missing.
    std::string spam;
    // Deleted for good instead of moved.
    bool expunge = false;
};

// The mailbox session over IMAP. The listing is by UID, with the folder's UIDVALIDITY in
// each item's id, so a message is only ever acted on in the folder state it was listed
// in: one moved away meanwhile is left alone, and after a change of UIDVALIDITY nothing
// is done until the folder has been listed again. Nothing it does sets \Seen. Deleting
// moves to the spam folder (or deletes for good), never with a plain EXPUNGE, which would
// also remove what the user marked deleted in another program.
class ImapSession : public MailboxSession {
public:
    ImapSession(const TSievoUser& account, MailboxEvents events);
    ImapSession(const MailboxLogin& login, ImapFolders folders, MailboxEvents events);

    void SetTimeOut(int seconds) override { imap_.SetTimeOut(seconds); }
    void SetMessageFolder(const std::string& folder) override;
    const std::string& MessageFolder() const override { return messageFolder_; }

    void Connect() override;
    bool Connected() const override { return imap_.Connected(); }
    bool Encrypted() const override { return imap_.Encrypted(); }

    std::vector<std::string> Folders() override;
    void List() override;
    const TmsRemoteInfo& Listing() const override { return listing_; }
    TmsRemoteInfoItem& MarkForDelete(int index) override;
    TmsRemoteInfoItem& MarkForRetrieve(int index) override;
    TmsRemoteInfoItem& Unmark(int index) override;
    void Verify(int index, const TmsRemoteInfoItem& listed) override;
    QByteArray Retrieve(int index) override;
    void CarryOutMarks(const CopiedEvent& copied) override;
    void Commit() override;
    void Cancel() override;

private:
    // A listed message: the folder's UIDVALIDITY when it was listed, and its UID.
    struct MessageId {
        std::uint32_t validity;
        std::uint32_t uid;
    };
    struct ListedSize {
        std::uint32_t uid;
        qint64 size;
    };

    ImapSession(ImapFolders folders, MailboxEvents events);
    // Connects and selects the judged folder unless that is done on this connection.
    void SelectJudged();
    std::vector<ListedSize> ListSizes();
    // Fetches the header blocks the cache does not hold and hands on every item in order.
    void FetchHeaders(std::vector<TmsRemoteInfoItem>& items,
                      const std::vector<std::uint32_t>& unknown);
    void Publish(TmsRemoteInfoItem&& item);
    std::string MailboxName(std::uint32_t validity) const;
    // The id of message `index` as listed or verified; raises "IDs are different" when the
    // folder's UIDVALIDITY is no longer the one it was listed under.
    MessageId CurrentId(int index);
    std::optional<TmsRemoteInfoItem> FetchItem(std::uint32_t uid);
    void WriteCopies(const std::vector<int>& indexes, const CopiedEvent& copied);
    void RemoveMarked(const std::vector<int>& indexes);
    // "UID <command> <set> <arguments>" for each set, in one round trip.
    void Act(std::string_view command, const std::vector<std::string>& sets,
             std::string_view arguments);
    // Unmarks, with a note, the messages the last copy or move did not find.
    void NoteVanished(const std::vector<int>& indexes);
    void LeftAlone(int index);
    void Expunge(const std::vector<std::string>& sets, std::size_t count);
    // From the server's folders (listed now unless known); created when missing.
    std::string SpamFolder();
    std::vector<std::uint32_t> UidsOf(const std::vector<int>& indexes) const;
    [[noreturn]] void RaiseIdsAreDifferent();

    TmsIMAP imap_;
    ImapFolders folders_;
    MailboxEvents events_;
    std::string cacheFile_;
    std::string messageFolder_;
    std::string login_;  // user@server, naming the mailbox
    TmsRemoteInfo listing_;
    // Messages verified against a listing of another session, by the index they had there.
    std::map<int, std::string> verified_;
    // The server's folders, once listed on this connection (with the header blocks).
    std::optional<std::vector<ImapFolder>> serverFolders_;
    qint64 headerBudget_ = 0;
    bool selected_ = false;
};

// "<UIDVALIDITY>.<UID>", the unique id of an IMAP message in a listing.
std::string ImapUniqueId(std::uint32_t validity, std::uint32_t uid);

}  // namespace sievo
