#include "mail/header_cache.h"

#include <QCryptographicHash>
#include <algorithm>
#include <charconv>
#include <optional>

#include "config/file_io.h"
#include "mail/pop3_replies.h"

namespace sievo {

namespace {

// The first line; a file of another format or version is not read.
constexpr std::string_view kFormatLine = "Sievomatic header cache 2\n";
constexpr std::string_view kMailboxWord = "mailbox ";
// The last line holds a digest of everything before it, so damage anywhere is noticed.
// BLAKE2b: it guards against damage, not an attacker, and hashes the file of a large
// mailbox several times faster than SHA-256.
constexpr std::string_view kEndWord = "end ";
// Characters of the account kept in the file name; the digest tells the rest apart.
constexpr std::size_t kNameCharacters = 40;
constexpr qsizetype kNameDigestBytes = 8;

std::string Digest(std::string_view text, QCryptographicHash::Algorithm algorithm) {
    return QCryptographicHash::hash(QByteArrayView(text.data(), text.size()), algorithm)
        .toHex()
        .toStdString();
}

std::string ContentDigest(std::string_view text) {
    return Digest(text, QCryptographicHash::Blake2b_256);
}

bool IsFieldName(std::string_view name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c <= '~'; });
}

bool IsFieldLine(const std::string& line) {
    const auto colon = line.find(':');
    return colon != std::string::npos && IsFieldName(std::string_view(line).substr(0, colon));
}

bool IsFolded(const std::string& line) {
    return line.starts_with(' ') || line.starts_with('\t');
}

// Two scans for one character each: find_first_of would test every character against
// the set, which costs more than the rest of a save on a large mailbox.
bool HoldsLineBreak(const std::string& line) {
    return line.find('\n') != std::string::npos || line.find('\r') != std::string::npos;
}

bool Cacheable(const TmsRemoteInfoItem& item) {
    return !item.HeaderTooLarge && ValidUniqueId(item.UniqueId) &&
           LooksLikeHeaderBlock(item.Headers) &&
           std::none_of(item.Headers.begin(), item.Headers.end(), HoldsLineBreak);
}

// The lines of a text that ends each line with a line break, as views into it.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : rest_(text) {}

    // The next line without its break; nothing at the end or before an unended line.
    std::optional<std::string_view> Next() {
        const auto end = rest_.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        const auto line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }
    bool AtEnd() const { return rest_.empty(); }
    // An upper bound of the lines left, so a damaged count cannot ask for more.
    std::size_t Remaining() const { return rest_.size(); }

private:
    std::string_view rest_;
};

// The line before each entry's header lines: its unique id, size and number of lines.
struct EntryHead {
    std::string_view id;
    qint64 size = 0;
    std::size_t lineCount = 0;

    static std::optional<EntryHead> Parse(std::string_view line) {
        const auto idEnd = line.find(' ');
        const auto sizeEnd = line.find(' ', idEnd == std::string_view::npos ? idEnd : idEnd + 1);
        if (sizeEnd == std::string_view::npos)
            return std::nullopt;
        EntryHead head{line.substr(0, idEnd)};
        if (!ValidUniqueId(head.id) ||
            !WholeNumber(line.substr(idEnd + 1, sizeEnd - idEnd - 1), head.size) ||
            !WholeNumber(line.substr(sizeEnd + 1), head.lineCount))
            return std::nullopt;
        return head;
    }

private:
    template <typename Number>
    static bool WholeNumber(std::string_view digits, Number& value) {
        const auto* last = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), last, value);
        return !digits.empty() && error == std::errc() && stop == last && value >= 0;
    }
};

}  // namespace

bool LooksLikeHeaderBlock(const TmsHeaders& lines) {
    if (lines.empty() || !IsFieldLine(lines.front()))
        return false;
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return IsFieldLine(line) || IsFolded(line); });
}

std::string HeaderCacheName(const std::string& user, const std::string& server) {
    const std::string account = user + "@" + server;
    std::string name;
    for (const char c : account.substr(0, kNameCharacters))
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
    return "headers-" + name + "-" +
           Digest(account, QCryptographicHash::Sha256).substr(0, kNameDigestBytes * 2) + ".cache";
}

THeaderCache THeaderCache::Load(const std::string& fileName, const std::string& mailbox) {
    THeaderCache cache;
    const auto text = ReadWholeFile(fileName);
    if (text && !cache.Parse(*text, mailbox))
        cache.entries_.clear();
    return cache;
}

bool THeaderCache::Parse(const std::string& text, const std::string& mailbox) {
    const auto end = text.rfind(kEndWord);
    if (end == std::string::npos ||
        std::string_view(text).substr(end) !=
            std::string(kEndWord) + ContentDigest(std::string_view(text).substr(0, end)) + "\n")
        return false;
    // Read in place: the file of a large mailbox runs to megabytes.
    LineCursor lines(std::string_view(text).substr(0, end));
    if (lines.Next() != kFormatLine.substr(0, kFormatLine.size() - 1) ||
        lines.Next() != std::string(kMailboxWord) + mailbox)
        return false;
    while (!lines.AtEnd()) {
        const auto head = EntryHead::Parse(lines.Next().value_or(""));
        if (!head || head->lineCount > lines.Remaining())
            return false;
        Entry entry{head->size, TmsHeaders(head->lineCount)};
        for (auto& header : entry.Headers)
            header = *lines.Next();
        if (!LooksLikeHeaderBlock(entry.Headers))
            return false;
        entries_.insert_or_assign(std::string(head->id), std::move(entry));
    }
    return true;
}

bool THeaderCache::Save(const std::string& fileName, const std::string& mailbox,
                        const TmsRemoteInfo& items) {
    std::string text(kFormatLine);
    text.append(kMailboxWord).append(mailbox).append("\n");
    for (int i = 0; i < items.Count(); ++i) {
        const TmsRemoteInfoItem& item = items[i];
        if (!Cacheable(item))
            continue;
        text += item.UniqueId + " " + std::to_string(item.Size) + " " +
                std::to_string(item.Headers.size()) + "\n";
        for (const auto& header : item.Headers)
            text += header + "\n";
    }
    const std::string digest = ContentDigest(text);
    text.append(kEndWord).append(digest).append("\n");
    return WriteFileAtomically(fileName, text);
}

const THeaderCache::Entry* THeaderCache::Find(const std::string& uniqueId) const {
    const auto entry = entries_.find(uniqueId);
    return entry == entries_.end() ? nullptr : &entry->second;
}

}  // namespace sievo
