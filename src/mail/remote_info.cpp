#include "mail/remote_info.h"

#include <string>

#include "mail/mail_limits.h"

namespace sievo {

bool SameMessage(const TmsRemoteInfoItem& stored, const TmsRemoteInfoItem& fresh) {
    if (stored.HeaderTooLarge || fresh.HeaderTooLarge)
        return false;
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

qint64 KeptHeaderCost(qint64 bytes, qint64 lines) {
    return bytes + lines * mail_limits::kKeptLineCostBytes;
}

qint64 KeptHeaderCost(const TmsHeaders& headers) {
    qint64 bytes = 0;
    for (const auto& line : headers)
        bytes += static_cast<qint64>(line.size());
    return KeptHeaderCost(bytes, static_cast<qint64>(headers.size()));
}

}  // namespace sievo
