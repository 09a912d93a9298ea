#pragma once

#include <string>

#include "scripted_server.h"

namespace sievo::testing {

// A POP3 server's side of a log-in and a listing of `count` messages, "Message n" from
// "sender<n>@example.org" (CAPA, UIDL and the whole LIST refused), cut after `answered` of
// them; a complete listing ends with QUIT.
inline void ScriptListing(ScriptedServer& server, int count, int answered) {
    server.Send("+OK ready\r\n").ReadLine().Send("+OK\r\n").ReadLine();
    server.Send("+OK\r\n").ReadLine().Send("+OK " + std::to_string(count) + " 0\r\n");
    for (int refused = 0; count > 0 && refused < 3; ++refused)
        server.ReadLine().Send("-ERR what?\r\n");
    for (int n = 1; n <= answered; ++n) {
        const std::string number = std::to_string(n);
        server.ReadLine().Send("+OK " + number + " 100\r\n");
        server.ReadLine().Send("+OK\r\nFrom: sender" + number +
                               "@example.org\r\nSubject: Message " + number + "\r\n\r\n.\r\n");
    }
    server.ReadLine().Send(answered == count ? "+OK\r\n" : "").Close();
}

}  // namespace sievo::testing
