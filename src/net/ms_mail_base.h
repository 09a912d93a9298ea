#pragma once

#include <string>

#include "net/ag_socket.h"

namespace sievo {

// The base of the mail protocol clients: connecting with log-in, logging out with closing.
class TmsMailBase : public TagSocket {
public:
    using TagSocket::TagSocket;

    // The protocol's greeting and log-in on a prepared connection (after `Open`).
    virtual void Login() = 0;
    // The protocol's good-bye on an open connection.
    virtual void Logout() = 0;

    // Opens and logs in unless a connection is open already.
    void ConnectAndLogin();
    // Logs out and closes when a connection is open. The connection is closed even when
    // the log-out fails, so a dead session is never taken for a live one later.
    void LogoutAndClose();

protected:
    // Fires `OnError` with the server's reply line and raises `EServerError`.
    [[noreturn]] void RaiseServerError(const std::string& replyLine);
};

}  // namespace sievo
