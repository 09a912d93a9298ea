#include "net/ag_http.h"

#include <charconv>

#include "config/text.h"
#include "net/http_url.h"
#include "net/net_errors.h"

namespace sievo {

namespace {

// The number at the start of the text in the base, or -1 when there is none; chunk sizes
// may carry extensions after a ";".
qint64 LeadingNumber(std::string_view text, int base) {
    text = TrimBlanks(text);
    qint64 value = -1;
    const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || next == text.data())
        return -1;
    return value;
}

int StatusCodeOf(const std::vector<std::string>& headers) {
    if (headers.empty())
        return -1;
    const std::string& status = headers.front();
    const auto blank = status.find(' ');
    if (blank == std::string::npos)
        return -1;
    const std::string_view word = std::string_view(status).substr(blank + 1);
    return static_cast<int>(LeadingNumber(word.substr(0, word.find(' ')), 10));
}

}  // namespace

TagHTTP::TagHTTP(QObject* parent) : TagSocket(parent) {
    Service = "http";
    DefaultPort = kHttpPort;
    SecurePort = kHttpsPort;
    data_.open(QIODevice::ReadWrite);
}

void TagHTTP::SetURL(const std::string& url) {
    const auto parts = ParseHttpUrl(url);
    if (!parts)
        RaiseError(kMsgInvalidUrl);
    url_ = url;
    origin_ = parts->server;
    path_ = parts->path;
    fileName_ = parts->fileName;
    Security = parts->secure ? TlsMode::Ssl : TlsMode::None;
    ApplyProxy();
}

void TagHTTP::SetProxy(const std::string& proxy) {
    if (!proxy.empty() && proxy.find(':') == std::string::npos)
        RaiseError(kMsgProxyPortRequired);
    proxy_ = proxy;
    ApplyProxy();
}

void TagHTTP::ApplyProxy() {
    Server = proxy_.empty() ? origin_ : proxy_;
}

int TagHTTP::Get() {
    // The request would go to the proxy in plain text, defeating the "https://".
    if (Security == TlsMode::Ssl && !proxy_.empty()) {
        RaiseError("HTTPS through a proxy is not supported");
    }
    ResetState();
    Open();
    ConnectSocket();
    SendRequest();
    const int status = ReadResponseHeaders();
    if (!responseHeaders_.empty())
        ReadBody();
    data_.seek(0);
    Close();
    return status;
}

void TagHTTP::SendRequest() {
    if (OnSending)
        OnSending(*this);
    const std::string& target = proxy_.empty() ? path_ : url_;
    SendLine("GET " + target + " HTTP/1.1");
    SendLine("Host: " + origin_);
    SendLine("Accept: */*");
    SendLine("Connection: close");
    SendLine("");
}

int TagHTTP::ReadResponseHeaders() {
    responseHeaders_.clear();
    std::string line;
    do {
        if (responseHeaders_.size() >= kMaxHeaderLines) {
            Close();
            RaiseError("More than " + std::to_string(kMaxHeaderLines) + " header lines");
        }
        ReadLine(line);
        if (!LineComplete() && responseHeaders_.empty())
            return -1;  // no response at all
        if (!LineComplete())
            RaiseError(std::string(kClosedEarlyText));
        responseHeaders_.push_back(line);
    } while (!line.empty());
    return StatusCodeOf(responseHeaders_);
}

std::string TagHTTP::ResponseHeader(std::string_view name) const {
    for (std::size_t i = 1; i < responseHeaders_.size(); ++i) {
        const std::string_view header = responseHeaders_[i];
        const auto colon = header.find(':');
        if (colon != std::string_view::npos &&
            ToLowerAscii(header.substr(0, colon)) == ToLowerAscii(name)) {
            return std::string(TrimBlanks(header.substr(colon + 1)));
        }
    }
    return {};
}

void TagHTTP::ReadBody() {
    data_.buffer().clear();
    data_.seek(0);
    if (ToLowerAscii(ResponseHeader("Transfer-Encoding")).find("chunked") != std::string::npos) {
        // One deadline for all chunks: a server trickling small ones must not keep the
        // download going without end.
        const ReplyDeadline deadline(*this, kMaxBodyBytes);
        ReadChunkedBody();
        return;
    }
    const qint64 size = LeadingNumber(ResponseHeader("Content-Length"), 10);
    if (size > 0) {
        ReadSized(size);
    } else if (size < 0) {
        ReadToClose(data_, -1);
    }
}

void TagHTTP::ReadChunkedBody() {
    for (;;) {
        std::string line;
        ReadLine(line);
        if (line.empty() && LineComplete())
            ReadLine(line);  // the end of the last chunk
        if (!LineComplete())
            RaiseError(std::string(kClosedEarlyText));
        const qint64 size = LeadingNumber(line, 16);
        if (size <= 0)
            return;
        ReadSized(size);
    }
}

void TagHTTP::ReadSized(qint64 size) {
    const qint64 before = data_.size();
    if (size > kMaxBodyBytes - before) {
        Close();
        RaiseError("Data longer than " + std::to_string(kMaxBodyBytes) + " bytes");
    }
    ReadToClose(data_, size);
    // A body cut short must not pass for the whole resource.
    if (data_.size() - before < size)
        RaiseError(std::string(kClosedEarlyText));
}

}  // namespace sievo
