#include "mail/remote_info.h"

#include <string>

namespace sievo {

bool SameMessage(const TmsRemoteInfoItem& stored, const TmsRemoteInfoItem& fresh) {
    if (stored.UniqueId != fresh.UniqueId)
        return false;
    const std::string storedId = GetHeaderField(stored.Headers, "Message-ID");
    const std::string freshId = GetHeaderField(fresh.Headers, "Message-ID");
    if (!storedId.empty() && !freshId.empty())
        return storedId == freshId;
    // Every line counts, the number of lines too: a shorter header block (none at all,
    // in the worst case) must never pass for the start of a longer one.
    return stored.Headers == fresh.Headers;
}

}  // namespace sievo
