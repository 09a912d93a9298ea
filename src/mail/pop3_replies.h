#pragma once

#include <QtGlobal>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// The two numbers of a STAT reply "+OK count size", still as text.
struct StatFields {
    std::string count;
    std::string size;
};

// The fields after the status word, or nothing when the reply names none.
std::optional<StatFields> SplitStatReply(std::string_view reply);

// The size of a "+OK number size" LIST reply; 0 when there is no number there.
qint64 ListReplySize(std::string_view reply);

// The "number value" lines of a multi-line LIST or UIDL reply, by message number. Lines of
// another form are left out; a number given twice keeps its first value.
std::map<int, std::string> NumberedLines(std::string_view block);

// A unique id as a UIDL reply may give it: 1 to 70 printable characters without blanks.
bool ValidUniqueId(std::string_view id);

// A text that is a decimal number from 0 and nothing else.
std::optional<qint64> ParseCount(std::string_view text);

}  // namespace sievo
