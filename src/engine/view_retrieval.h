#pragma once

#include <string>

namespace sievo {

class TmsRemotePOP;

// Retrieves message `index` over the client's session, which must be open, into the data
// folder as "msg_" + index + ".eml", replacing the copy an earlier view left there, and
// answers the file's path. The client's own message folder is left as it was: for the
// scan's client it is the bin folder its deletions still need.
std::string RetrieveForViewing(TmsRemotePOP& client, int index);

}  // namespace sievo
