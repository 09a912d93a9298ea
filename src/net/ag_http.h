#pragma once

#include <QBuffer>
#include <string>
#include <string_view>
#include <vector>

#include "net/ag_socket.h"

namespace sievo {

// Fetches one resource with an HTTP/1.1 GET into memory, directly or through a proxy;
// "https://" addresses over TLS.
class TagHTTP : public TagSocket {
public:
    static constexpr std::uint16_t kHttpPort = 80;
    static constexpr std::uint16_t kHttpsPort = 443;
    // Bounds what a server can make the program hold in memory.
    static constexpr qint64 kMaxBodyBytes = kMaxUnsizedReadBytes;
    static constexpr std::size_t kMaxHeaderLines = 200;

    explicit TagHTTP(QObject* parent = nullptr);

    // Raises "Invalid URL" for an address that is neither "http://" nor "https://".
    void SetURL(const std::string& url);
    const std::string& URL() const { return url_; }
    // Proxy as host:port (empty: direct); raises "Proxy port is required" without a port.
    void SetProxy(const std::string& proxy);
    const std::string& Proxy() const { return proxy_; }
    const std::string& FileName() const { return fileName_; }
    const std::string& Path() const { return path_; }

    TmsNotifyEvent OnSending;

    // Performs the GET and returns the status code (-1 without a status line). The status
    // is not judged here.
    int Get();

    // The status line and header lines of the last response, with the empty line.
    const std::vector<std::string>& ResponseHeaders() const { return responseHeaders_; }
    // The value of the first response header of that name (any case), trimmed.
    std::string ResponseHeader(std::string_view name) const;
    // The body of the last response, positioned at its start.
    QBuffer& Data() { return data_; }

private:
    void SendRequest();
    int ReadResponseHeaders();
    void ReadBody();
    void ReadChunkedBody();
    void ReadSized(qint64 size);
    void ApplyProxy();

    std::string url_;
    std::string proxy_;
    std::string origin_;  // host[:port] of the URL
    std::string path_;
    std::string fileName_;
    std::vector<std::string> responseHeaders_;
    QBuffer data_;
};

}  // namespace sievo
