#pragma once

#include <memory>
#include <sstream>
#include <string>

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

}  // namespace sievo::testing
