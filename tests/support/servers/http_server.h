#pragma once

#include <string>

#include "server_process.h"

namespace sievo::testing {

// Python's http.server serving a folder on 127.0.0.1 at a port the system picks.
class HttpServer {
public:
    // It says "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ..." once it listens.
    explicit HttpServer(const std::string& folder)
        : port_(process_.StartPython({"-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                                      "--directory", QString::fromStdString(folder)},
                                     "Serving HTTP on 127.0.0.1 port ")) {}

    // 0 when the server did not start.
    quint16 Port() const { return port_; }
    std::string Error() const { return process_.Error(); }

private:
    ServerProcess process_;
    quint16 port_ = 0;
};

}  // namespace sievo::testing
