#pragma once

#include <QtGlobal>
#include <string>
#include <unordered_map>

#include "mail/header_fields.h"
#include "mail/remote_info.h"

namespace sievo {

// The header blocks and sizes of the messages on one mailbox by their unique ids, kept
// in a file between scans so that a listing fetches only the headers it has not seen.
// A file that is damaged, or written for another mailbox, is never trusted: it counts
// as empty and costs one full listing.
class THeaderCache {
public:
    struct Entry {
        qint64 Size = 0;
        TmsHeaders Headers;
    };

    // The cache of `mailbox` kept in the file; empty when there is none that fits.
    static THeaderCache Load(const std::string& fileName, const std::string& mailbox);
    // Writes the listed messages that have an id and a sound header block, and only
    // those, so that messages gone from the server are forgotten; false when the file
    // could not be written.
    static bool Save(const std::string& fileName, const std::string& mailbox,
                     const TmsRemoteInfo& items);

    // The entry for the id; nullptr when there is none.
    const Entry* Find(const std::string& uniqueId) const;
    std::size_t Count() const { return entries_.size(); }

private:
    bool Parse(const std::string& text, const std::string& mailbox);

    std::unordered_map<std::string, Entry> entries_;
};

// The name of an account's cache file in the data folder, from its user and server.
std::string HeaderCacheName(const std::string& user, const std::string& server);

// Whether the lines look like a header block: fields, each perhaps folded onto more lines.
bool LooksLikeHeaderBlock(const TmsHeaders& lines);

}  // namespace sievo
