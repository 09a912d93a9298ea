#include "mail/header_cache.h"

#include <QCryptographicHash>
#include <algorithm>
#include <sstream>

#include "config/file_io.h"
#include "mail/pop3_replies.h"

namespace sievo {

namespace {

// The first line; a file of another format or version is not read.
constexpr std::string_view kFormatLine = "Sievomatic header cache 1\n";
constexpr std::string_view kMailboxWord = "mailbox ";
// The last line holds a digest of everything before it, so damage anywhere is noticed.
constexpr std::string_view kEndWord = "end ";
// Characters of the account kept in the file name; the digest tells the rest apart.
constexpr std::size_t kNameCharacters = 40;
constexpr qsizetype kNameDigestBytes = 8;

std::string Digest(std::string_view text) {
    return QCryptographicHash::hash(QByteArrayView(text.data(), text.size()),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
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

bool HoldsLineBreak(const std::string& line) {
    return line.find_first_of("\r\n") != std::string::npos;
}

bool Cacheable(const TmsRemoteInfoItem& item) {
    return !item.HeaderTooLarge && ValidUniqueId(item.UniqueId) &&
           LooksLikeHeaderBlock(item.Headers) &&
           std::none_of(item.Headers.begin(), item.Headers.end(), HoldsLineBreak);
}

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
    return "headers-" + name + "-" + Digest(account).substr(0, kNameDigestBytes * 2) + ".cache";
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
        text.substr(end) !=
            std::string(kEndWord) + Digest(std::string_view(text).substr(0, end)) + "\n")
        return false;
    std::istringstream in(text.substr(0, end));
    std::string line;
    std::getline(in, line);
    if (line + "\n" != kFormatLine || !std::getline(in, line) ||
        line != std::string(kMailboxWord) + mailbox)
        return false;
    std::string id;
    Entry entry;
    std::size_t count = 0;
    while (in >> id >> entry.Size >> count) {
        in.ignore(1);
        entry.Headers.assign(count, std::string());
        for (auto& header : entry.Headers) {
            if (!std::getline(in, header))
                return false;
        }
        if (!ValidUniqueId(id) || entry.Size < 0 || !LooksLikeHeaderBlock(entry.Headers))
            return false;
        entries_[id] = entry;
    }
    return in.eof();
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
    const std::string digest = Digest(text);
    text.append(kEndWord).append(digest).append("\n");
    return WriteFileAtomically(fileName, text);
}

const THeaderCache::Entry* THeaderCache::Find(const std::string& uniqueId) const {
    const auto entry = entries_.find(uniqueId);
    return entry == entries_.end() ? nullptr : &entry->second;
}

}  // namespace sievo
