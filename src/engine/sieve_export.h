#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "store/rule_store.h"

namespace sievo {

// A reply message of the library as a server's vacation answer sends it.
struct SieveReplyText {
    std::string subject;
    std::string body;
};

// Everything the rules are judged by: the rules in rule order, the lines of the friends
// and spammer lists, and the reply messages by file name.
struct SieveExportInput {
    std::vector<RuleRecord> rules;
    std::vector<std::string> friends;
    std::vector<std::string> spammers;
    std::map<std::string, SieveReplyText> replies;
};

struct SieveExportOptions {
    std::string spamFolder = "Junk";
    // Whether the server runs the "regex" extension, without which FROMNUM cannot be said.
    bool regex = true;
    // A server parses the whole script at each delivery; a list longer than this is cut.
    std::size_t spammerLimit = 5000;
    int replyDays = 7;
};

struct SieveScript {
    std::string text;
    // What the script judges differently from the program, one line each.
    std::vector<std::string> notExpressed;
};

// The script that judges a message as the program does: a sender on the friends list is
// never touched, every active rule is tried in rule order and the last one that hits
// decides; condemned messages are filed into the spam folder, never discarded.
SieveScript ExportSieve(const SieveExportInput& input, const SieveExportOptions& options);

// The rules, lists and reply messages of the data folder.
SieveExportInput LoadSieveExportInput();

}  // namespace sievo
