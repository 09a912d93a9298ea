#include "mail/mime_params.h"

#include <QMimeDatabase>
#include <QString>
#include <algorithm>
#include <charconv>

#include "config/text.h"

namespace sievo {

namespace {

constexpr std::string_view kDefaultContentType = "application/octet-stream";

// Registered extensions are short and plain; anything else is no known type.
constexpr std::size_t kExtensionMax = 16;

bool IsPlainExtension(std::string_view extension) {
    return !extension.empty() && extension.size() <= kExtensionMax &&
           std::all_of(extension.begin(), extension.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '+';
           });
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// Where the value of the parameter begins: after a name that starts a parameter (at the
// start, or after ";" or a blank, outside quotes) and its "=". Names inside other names or
// values ("name" in "filename", in a quoted boundary text) do not count.
std::size_t FindParamValue(std::string_view value, std::string_view paramName) {
    if (paramName.empty())
        return std::string_view::npos;
    const std::string upperName = ToUpperAscii(paramName);
    bool quoted = false;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '"')
            quoted = !quoted;
        const bool startsParam = at == 0 || value[at - 1] == ';' || IsBlank(value[at - 1]);
        if (quoted || !startsParam ||
            ToUpperAscii(value.substr(at, paramName.size())) != upperName) {
            continue;
        }
        const std::string_view rest = SkipBlanks(value.substr(at + paramName.size()));
        if (!rest.empty() && rest.front() == '=')
            return value.size() - rest.size() + 1;
    }
    return std::string_view::npos;
}

}  // namespace

std::string GetHeaderParam(std::string_view paramName, std::string_view value) {
    const std::size_t start = FindParamValue(value, paramName);
    if (start == std::string_view::npos)
        return {};
    std::string_view rest = TrimBlanks(value.substr(start));
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
        return std::string(TrimBlanks(rest.substr(0, rest.find('"'))));
    }
    return std::string(TrimBlanks(rest.substr(0, rest.find_first_of(" \t;"))));
}

std::string FirstToken(std::string_view value) {
    const std::string_view rest = SkipBlanks(value);
    return std::string(TrimBlanks(rest.substr(0, rest.find_first_of(" \t;"))));
}

std::string GetWord(std::string_view text, int n) {
    std::string_view rest = TrimBlanks(text);
    for (int i = 0; i < n && !rest.empty(); ++i) {
        const std::size_t blank = rest.find_first_of(" \t");
        rest =
            blank == std::string_view::npos ? std::string_view{} : TrimBlanks(rest.substr(blank));
    }
    return std::string(rest.substr(0, rest.find_first_of(" \t")));
}

long long GetWordAsInt(std::string_view text, int n) {
    const std::string word = GetWord(text, n);
    long long number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (word.empty() || error != std::errc{} || end != word.data() + word.size())
        return -1;
    return number;
}

std::string ContentTypeForFile(std::string_view fileName) {
    const std::string_view baseName = fileName.substr(fileName.find_last_of("/\\") + 1);
    const std::size_t dot = baseName.rfind('.');
    if (dot == std::string_view::npos)
        return std::string(kDefaultContentType);
    const std::string_view extension = baseName.substr(dot + 1);
    if (!IsPlainExtension(extension))
        return std::string(kDefaultContentType);
    // Only the extension reaches the database: names come from strangers, and Qt 6.4 crashes
    // on some (a NUL byte among invalid UTF-8).
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(
        "file." + QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())),
        QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return std::string(kDefaultContentType);
    return type.name().toStdString();
}

}  // namespace sievo
