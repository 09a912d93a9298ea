#pragma once

#include <string>

namespace sievo {

class MailboxSession;

// Retrieves message `index` over the session, which must be open, into the data folder as
// "msg_" + index + ".eml", replacing the copy an earlier view left there, and answers the
// file's path. The session's own message folder is not touched: for the scan's session it
// is the bin folder its deletions still need.
std::string RetrieveForViewing(MailboxSession& session, int index);

}  // namespace sievo
