#include "engine/leftover_copies.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "config/file_io.h"
#include "config/text.h"
#include "engine/action_ledger.h"
#include "engine/scan_judge.h"

namespace fs = std::filesystem;

namespace sievo {

namespace {

// A copy is written under its name and six more characters, then renamed (see
// WriteFileAtomically): a file named so was never finished.
bool CutShort(const std::string& name) {
    constexpr std::string_view kCopyEnd = ".eml.";
    constexpr std::size_t kUniqueChars = 6;
    const auto end = name.rfind(kCopyEnd);
    return name.starts_with("msg_") && end != std::string::npos &&
           name.size() == end + kCopyEnd.size() + kUniqueChars;
}

// The key the copy's header block, split as the listing splits it, has without a server id.
std::string HeaderBlockKey(std::string_view text) {
    TmsHeaders headers;
    bool body = false;
    ForEachLine(text, [&](std::string_view line) {
        body = body || line.empty();
        if (!body)
            headers.emplace_back(line);
    });
    return MessageKey("", headers);
}

// Header-block key -> the lasting name of the one listed message with that block; none
// where two messages share it, as a copy cannot tell which of them it is.
std::map<std::string, std::optional<std::string>> ListedByHeaderBlock(
    const TmsRemoteInfo& items, const std::vector<std::string>& keys) {
    std::map<std::string, std::optional<std::string>> listed;
    for (int i = 0; i < items.Count(); ++i) {
        if (items[i].HeaderTooLarge)
            continue;
        const auto [entry, added] =
            listed.emplace(MessageKey("", items[i].Headers), keys.at(std::size_t(i)));
        if (!added)
            entry->second.reset();
    }
    return listed;
}

}  // namespace

void AdoptLeftoverCopies(const std::string& folder, const TmsRemoteInfo& items,
                         const std::vector<std::string>& keys, ActionLedger& ledger) {
    std::vector<fs::path> copies;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (!entry.is_regular_file(error))
            continue;
        if (CutShort(entry.path().filename().string()))
            fs::remove(entry.path(), error);
        else
            copies.push_back(entry.path());
    }
    if (copies.empty())
        return;
    const auto listed = ListedByHeaderBlock(items, keys);
    for (const auto& copy : copies) {
        const auto text = ReadWholeFile(copy.string());
        const auto message = text ? listed.find(HeaderBlockKey(*text)) : listed.end();
        if (message == listed.end() || !message->second)
            continue;
        if (!ledger.WasDone(*message->second, ScanJudge::kTrashAction))
            ledger.MarkDone(*message->second, ScanJudge::kTrashAction);
    }
}

}  // namespace sievo
