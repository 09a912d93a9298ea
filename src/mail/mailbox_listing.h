#pragma once

#include "mail/remote_info.h"

namespace sievo {

// The listed messages of a mailbox with their marks, which is all the judging needs.
class MailboxListing {
public:
    virtual ~MailboxListing() = default;

    // Item i is message i of the mailbox at the time of the listing.
    virtual const TmsRemoteInfo& Listing() const = 0;
    // Each answers the item it marked.
    virtual TmsRemoteInfoItem& MarkForDelete(int index) = 0;
    virtual TmsRemoteInfoItem& MarkForRetrieve(int index) = 0;
    virtual TmsRemoteInfoItem& Unmark(int index) = 0;
};

}  // namespace sievo
