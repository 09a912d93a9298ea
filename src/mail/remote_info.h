#pragma once

#include <QtGlobal>
#include <cstdint>
#include <string>

#include "mail/header_fields.h"
#include "mail/item_list.h"

namespace sievo {

// One message waiting on the POP3 server, as the listing found it.
class TmsRemoteInfoItem {
public:
    static constexpr std::uint8_t kRetrieveMark = 0x01;
    static constexpr std::uint8_t kDeleteMark = 0x02;

    std::uint8_t Marks = 0;
    // Octets from LIST; 0 when the reply held no number.
    qint64 Size = 0;
    // The header lines exactly as received, cut at the first empty line.
    TmsHeaders Headers;
    // The server's id from UIDL; empty when it gives none.
    std::string UniqueId;
    // True when the header block was too large to keep: `Headers` is empty, and no rule
    // may judge the message, nor may it pass for any other.
    bool HeaderTooLarge = false;

    bool MarkedForRetrieve() const { return (Marks & kRetrieveMark) != 0; }
    bool MarkedForDelete() const { return (Marks & kDeleteMark) != 0; }
};

// Item i is message number i + 1 on the server at the time of the listing.
using TmsRemoteInfo = ItemList<TmsRemoteInfoItem>;

// Whether two listings of a message show the same message: the same server id (or none in
// both), and the same Message-ID when both have one, otherwise all the same header lines.
// A message whose header block was too large to keep is recognised by nothing, so it is
// never retrieved or deleted in error.
bool SameMessage(const TmsRemoteInfoItem& stored, const TmsRemoteInfoItem& fresh);

// What a header block kept in memory costs: its bytes and a string for every line.
qint64 KeptHeaderCost(qint64 bytes, qint64 lines);
qint64 KeptHeaderCost(const TmsHeaders& headers);

}  // namespace sievo
