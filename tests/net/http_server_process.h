#pragma once

#include <QProcess>
#include <string>

namespace sievo::testing {

// Python's http.server serving a folder on 127.0.0.1 at a port the system picks; stopped
// by its process id when the object ends.
class HttpServerProcess {
public:
    explicit HttpServerProcess(const std::string& folder);
    ~HttpServerProcess();

    // 0 when the server did not start.
    int Port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

}  // namespace sievo::testing
