#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// Cuts text to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string_view Utf8Truncate(std::string_view text, std::size_t maxBytes);

// Splits text at CR LF, lone CR or lone LF; a final line end adds no line.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each ended by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// The locale-aware lower case of UTF-8 text (accented capitals included).
std::string ToLowerText(std::string_view text);

// Equality without regard to case, accented letters included.
bool SameText(std::string_view a, std::string_view b);

std::string_view TrimBlanks(std::string_view text);

}  // namespace sievo
