#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mail/message.h"
#include "mail/remote_info.h"

namespace sievo::testing {

// The message as it would be sent.
inline std::string TextOf(TmsCustomMessage& message) {
    std::ostringstream stream;
    message.SaveToStream(stream);
    return stream.str();
}

// A message read from the text of one.
template <typename Message = TmsMessage>
std::unique_ptr<Message> MessageFrom(const std::string& text) {
    auto message = std::make_unique<Message>();
    std::istringstream stream(text);
    message->LoadFromStream(stream);
    return message;
}

// Each attachment as "file name | content type | transfer encoding | data".
inline std::vector<std::string> Files(const TmsMessage& message) {
    std::vector<std::string> files;
    for (const TmsAttItem& item : message.Attachments())
        files.push_back(item.FileName() + " | " + item.ContentType() + " | " +
                        std::string(EncodingName(item.Encoding())) + " | " + item.Data());
    return files;
}

// Each item of a mailbox listing: its size, its server id, then its header lines or that
// they were too large to keep.
inline std::vector<std::string> ListingOf(const TmsRemoteInfo& listing) {
    std::vector<std::string> items;
    for (const TmsRemoteInfoItem& item : listing) {
        std::string text = std::to_string(item.Size) + " [" + item.UniqueId + "]";
        for (const std::string& line : item.Headers)
            text += " | " + line;
        items.push_back(item.HeaderTooLarge ? text + " (not kept)" : text);
    }
    return items;
}

}  // namespace sievo::testing
