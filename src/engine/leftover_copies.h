#pragma once

#include <string>
#include <vector>

#include "mail/remote_info.h"

namespace sievo {

class ActionLedger;

// Copies that an earlier check left in the bin folder (it ended before they reached the
// Trash: a lost connection, a killed program), looked at once the mailbox is listed and
// before they go to the Trash. A copy whose message the listing still holds is recorded
// as made, so the message is not copied a second time, even when the check ended before
// it could record the copy itself; a copy that a kill cut short while it was written is
// removed, as it is no copy (its message was not deleted: the deletion follows the copy).
// keys[i] is the lasting name of message i of the listing.
void AdoptLeftoverCopies(const std::string& folder, const TmsRemoteInfo& items,
                         const std::vector<std::string>& keys, ActionLedger& ledger);

}  // namespace sievo
