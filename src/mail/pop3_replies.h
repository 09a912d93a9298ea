#pragma once

#include <QtGlobal>
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

// A text that is a decimal number from 0 and nothing else.
std::optional<qint64> ParseCount(std::string_view text);

}  // namespace sievo
