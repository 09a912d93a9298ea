#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// The raw header lines of one message, one physical line an entry, in the order received;
// folded lines stay separate entries and are joined only when a field is read.
using TmsHeaders = std::vector<std::string>;

// The unfolded, decoded value of the first field called name (with or without its colon),
// or empty. Content-Type and X-UIDL values come whole and undecoded.
std::string GetHeaderField(const std::vector<std::string>& lines, std::string_view name);

// The unfolded, undecoded values of every field called name, the topmost first: the fields
// that receiving servers add stand above those the sender wrote.
std::vector<std::string> GetRawHeaderFields(const std::vector<std::string>& lines,
                                            std::string_view name);

// Appends every address entry of every field called name ("TO", "CC") to result; commas
// inside double quotes do not split.
void GetHeaderAddressList(const std::vector<std::string>& lines, std::string_view name,
                          std::vector<std::string>& result);

// Removes the first field called name with its continuation lines.
void DeleteHeaderField(std::vector<std::string>& lines, std::string_view name);

// Removes the first empty line and everything after it, leaving the header block.
void TruncateAtBody(std::vector<std::string>& lines);

}  // namespace sievo
