#include "net/http_url.h"

#include "config/text.h"

namespace sievo {

namespace {

constexpr std::string_view kPlainScheme = "http://";
constexpr std::string_view kSecureScheme = "https://";
constexpr std::string_view kFolderFileName = "index.html";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ToLowerAscii(text.substr(0, prefix.size())) == prefix;
}

std::string FileNameOf(std::string_view path) {
    if (path.find('.') == std::string_view::npos)
        return {};
    const std::string_view last = path.substr(path.rfind('/') + 1);
    return last.empty() ? std::string(kFolderFileName) : std::string(last);
}

}  // namespace

std::optional<HttpUrl> ParseHttpUrl(std::string_view url) {
    HttpUrl parts;
    if (StartsWithNoCase(url, kSecureScheme)) {
        parts.secure = true;
        url.remove_prefix(kSecureScheme.size());
    } else if (StartsWithNoCase(url, kPlainScheme)) {
        url.remove_prefix(kPlainScheme.size());
    } else {
        return std::nullopt;
    }
    const auto slash = url.find('/');
    parts.server = std::string(url.substr(0, slash));
    parts.path = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
    parts.fileName = FileNameOf(parts.path);
    return parts;
}

}  // namespace sievo
