#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mail/message.h"

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

}  // namespace sievo::testing
