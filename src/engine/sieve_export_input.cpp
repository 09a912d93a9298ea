#include <exception>

#include "config/activity_log.h"
#include "config/file_io.h"
#include "config/text.h"
#include "engine/address_lists.h"
#include "engine/sieve_export.h"
#include "mail/message.h"
#include "store/message_library.h"

namespace sievo {

namespace {

// A list file that is missing is an empty list, as in a check.
std::vector<std::string> ListLines(const std::string& path) {
    return SplitLines(ReadWholeFile(path).value_or(""));
}

// A message that cannot be read stays out of the map; the export then names the rule.
void AddReply(std::map<std::string, SieveReplyText>& replies, const std::string& file) {
    if (file.empty() || replies.contains(file))
        return;
    try {
        TmsMessage message;
        message.LoadFromFile(message_library::MessageFilePath(file));
        replies[file] = {message.Subject(), JoinLinesCrLf(message.Body())};
    } catch (const std::exception& error) {
        ActivityLog("Reply message " + file + ": " + error.what());
    }
}

}  // namespace

SieveExportInput LoadSieveExportInput() {
    SieveExportInput input;
    input.rules = rule_store::LoadAll(RuleDefaults::kEngine);
    input.friends = ListLines(FriendsPath());
    input.spammers = ListLines(SpammersPath());
    for (const auto& rule : input.rules)
        if (rule.Reply)
            AddReply(input.replies, rule.ReplyFile);
    return input;
}

}  // namespace sievo
