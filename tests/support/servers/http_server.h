#pragma once

#include <cstdlib>
#include <string>

#include "server_process.h"

namespace sievo::testing {

// Python's http.server serving a folder on 127.0.0.1 at a port the system picks.
class HttpServer {
public:
    explicit HttpServer(const std::string& folder) {
        if (!process_.Start("python3", {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                                        "--directory", QString::fromStdString(folder)}))
            return;
        // "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ..."
        const std::string rest = process_.WaitForOutputLine("Serving HTTP on 127.0.0.1 port ");
        port_ = std::atoi(rest.c_str());
    }

    // 0 when the server did not start.
    int Port() const { return port_; }
    std::string Error() const { return process_.Error(); }

private:
    ServerProcess process_;
    int port_ = 0;
};

}  // namespace sievo::testing
