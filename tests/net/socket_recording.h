#pragma once

#include <string>
#include <vector>

#include "net/ag_socket.h"

namespace sievo::testing {

// Generous, for waits that must succeed on a loaded machine.
inline constexpr int kPatientTimeOut = 60;

// Gives the socket the patient time-out and keeps every error text it reports, oldest first.
inline void RecordErrors(TagSocket& socket, std::vector<std::string>& errors) {
    socket.SetTimeOut(kPatientTimeOut);
    socket.OnError = [&errors](TagSocket&, const std::string& text) { errors.push_back(text); };
}

}  // namespace sievo::testing
