#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mail/mailbox_listing.h"
#include "mail/ms_pop3.h"
#include "mail/remote_info.h"

class QIODevice;

namespace sievo {

using TmsUserMsgSaveEvent = std::function<void(TagSocket& sender, int Num, QIODevice& Contents)>;

// The POP3 client the program uses: lists every waiting message with its header block,
// keeps marks for retrieval and deletion, and carries them out only for messages that
// still are what the listing saw.
class TmsRemotePOP : public TmsCustomPOP, public MailboxListing {
public:
    using TmsCustomPOP::TmsCustomPOP;

    // Folder for retrieved messages, kept with a trailing "/".
    const std::string& MessageDirectory() const { return messageDirectory_; }
    void SetMessageDirectory(const std::string& folder);

    // The result of the last `UpdateInfo`.
    TmsRemoteInfo& RemoteInfo() { return remoteInfo_; }
    const TmsRemoteInfo& RemoteInfo() const { return remoteInfo_; }
    const TmsRemoteInfo& Listing() const override { return remoteInfo_; }

    // False: `UpdateInfo` logs out and closes when done. True: the connection stays open
    // for a following `TransferData`.
    bool KeepConnection = false;
    // The file that keeps header blocks between listings (see THeaderCache); empty for
    // none, and then every listing fetches every header block.
    std::string HeaderCacheFile;

    TmsNotifyEvent OnUpdatingInfo;
    TmsNotifyEvent OnInfoUpdated;
    TmsNotifyEvent OnTransferringData;
    TmsNotifyEvent OnDataTransfered;
    TmsNumNotifyEvent OnNextInfoUpdated;
    // The header cache could not be written: the listing stands, the next one fetches more.
    TmsErrorEvent OnHeaderCacheNotSaved;
    // Replaces saving a retrieved message to its file.
    TmsUserMsgSaveEvent OnUserMessageSave;
    // A retrieved message could not be written to its file: it is then not deleted either
    // (that would lose its only copy), and the transfer goes on with the next message.
    // Without a handler, the failure ends the transfer.
    TmsErrorEvent OnMessageNotStored;

    // Lists every message. On an error the items listed so far stay.
    void UpdateInfo();
    TmsRemoteInfoItem& MarkForDelete(int Index) override;
    TmsRemoteInfoItem& MarkForRetrieve(int Index) override;
    TmsRemoteInfoItem& Unmark(int Index) override;
    // Lists the message again; raises "IDs are different" when it is not the one listed.
    bool VerifyMessage(int Index);
    // The same against an item of another client's listing.
    void VerifyMessage(int Index, const TmsRemoteInfoItem& listed);
    // Retrieves and deletes the marked messages, each verified first, then logs out, which
    // makes the deletions final. An error stops at that message and leaves the connection
    // as it is, except a message that could not be stored (see OnMessageNotStored).
    void TransferData();

    // MessageDirectory + "msg_" + Index + ".eml", or with "-2", "-3" ... before ".eml"
    // while a file of that name exists: a copy waiting there is never replaced.
    std::string MessageFileName(int Index) const;

protected:
    void StoreMessage(int Index, QIODevice& Stream) override;

private:
    // One command of a listing: the size or the header block of a message.
    struct ListingStep {
        int Index;
        bool Size;
    };

    void ListMessages();
    // Fills what the UIDL listing, the cache and the LIST listing know; the steps left
    // ask the server for the rest.
    std::vector<ListingStep> PlanListing(std::vector<TmsRemoteInfoItem>& items);
    // LIST and TOP for the messages the cache does not know, the sizes from one LIST
    // where the server gives it.
    std::vector<ListingStep> UnknownSteps(std::vector<TmsRemoteInfoItem>& items,
                                          const std::vector<int>& unknown);
    // Sends the steps with up to `window` of them awaiting their replies, and hands on
    // each item, in order, once it is complete.
    void RunListing(std::vector<TmsRemoteInfoItem>& items, const std::vector<ListingStep>& steps,
                    std::size_t window);
    // The header block of one message, within what is left of the listing's allowance.
    void ReadHeaders(int Index, TmsRemoteInfoItem& item);
    void Publish(TmsRemoteInfoItem&& item);
    // Written only when the listing found something the file does not hold; a file that
    // cannot be written is told through OnHeaderCacheNotSaved and never ends the listing.
    void SaveHeaderCache();
    std::string MailboxName() const;
    void TransferItem(int Index);

    std::string messageDirectory_;
    bool headerCacheStale_ = false;
    // What the header blocks of the current listing may still cost in memory.
    qint64 headerBudget_ = 0;
    TmsRemoteInfo remoteInfo_;
};

}  // namespace sievo
