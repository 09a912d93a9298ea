#include "engine/action_ledger.h"

#include <QCryptographicHash>
#include <algorithm>
#include <vector>

#include "config/account.h"
#include "config/data_folder.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "config/text.h"

namespace sievo {

namespace {

std::string LedgerPath() {
    return ProgramFile("handled.lst");
}

// Tab-separated fields; a line that does not have three is not ours and is dropped.
std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// Tabs and line breaks cannot stand inside a field.
constexpr std::string_view kHeaderBlockKey = "sha256:";

std::string Field(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return out;
}

}  // namespace

std::string MessageKey(const std::string& uniqueId, const TmsHeaders& headers) {
    if (!uniqueId.empty())
        return "uid:" + uniqueId;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto& line : headers) {
        hash.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        hash.addData(QByteArrayView("\r\n"));
    }
    return std::string(kHeaderBlockKey) + hash.result().toHex().toStdString();
}

ActionLedger::ActionLedger(const TSievoUser& account)
    : account_(Field(ToLowerAscii(account.POPUser + "@" + account.POPAddress))) {
    for (const auto& line : SplitLines(ReadWholeFile(LedgerPath()).value_or(""))) {
        const auto fields = SplitTabs(line);
        if (fields.size() == 3)
            entries_[fields[0]][fields[1]].insert(fields[2]);
    }
}

bool ActionLedger::WasDone(const std::string& messageKey, const std::string& action) const {
    const auto account = entries_.find(account_);
    if (account == entries_.end())
        return false;
    const auto message = account->second.find(Field(messageKey));
    return message != account->second.end() && message->second.count(action) > 0;
}

void ActionLedger::MarkDone(const std::string& messageKey, const std::string& action) {
    entries_[account_][Field(messageKey)].insert(Field(action));
    Save();
}

void ActionLedger::Unmark(const std::string& messageKey, const std::string& action) {
    auto& messages = entries_[account_];
    const auto message = messages.find(Field(messageKey));
    if (message == messages.end() || message->second.erase(Field(action)) == 0)
        return;
    if (message->second.empty())
        messages.erase(message);
    Save();
}

void ActionLedger::Rename(const std::string& from, const std::string& to) {
    auto& messages = entries_[account_];
    auto old = messages.extract(Field(from));
    if (!old.empty())
        messages[Field(to)].merge(old.mapped());
}

bool ActionLedger::HoldsHeaderBlockKeys() const {
    const auto messages = entries_.find(account_);
    return messages != entries_.end() &&
           std::any_of(messages->second.begin(), messages->second.end(),
                       [](const auto& entry) { return entry.first.starts_with(kHeaderBlockKey); });
}

void ActionLedger::KeepOnly(const std::set<std::string>& keysOnServer) {
    auto& messages = entries_[account_];
    std::erase_if(messages, [&](const auto& entry) { return !keysOnServer.count(entry.first); });
    Save();
}

void ActionLedger::Save() const {
    std::vector<std::string> lines;
    for (const auto& [account, messages] : entries_)
        for (const auto& [key, actions] : messages)
            for (const auto& action : actions)
                lines.push_back(account + "\t" + key + "\t" + action);
    if (!WriteFileAtomically(LedgerPath(), JoinLinesCrLf(lines)))
        throw Exception("Unable to write to " + LedgerPath());
}

}  // namespace sievo
