#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// Cuts text to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string_view Utf8Truncate(std::string_view text, std::size_t maxBytes);

// Splits text at CR LF, lone CR or lone LF; a final line end adds no line.
std::vector<std::string> SplitLines(std::string_view text);

// Calls visit with every line, split as SplitLines does, without copying them.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        visit(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        visit(text.substr(start));
}

// Joins lines, each ended by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

bool IsAsciiText(std::string_view text);

std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// The locale-aware lower case of UTF-8 text (accented capitals included).
std::string ToLowerText(std::string_view text);

// The text with case folded away (accented letters included): two texts are equal
// without regard to case exactly when their folded forms are equal.
std::string FoldCase(std::string_view text);

// Equality without regard to case, accented letters included.
bool SameText(std::string_view a, std::string_view b);

std::string_view TrimBlanks(std::string_view text);

// The text in double quotes, with a backslash before each '"' and '\\': the quoted strings
// of IMAP, ManageSieve and Sieve.
std::string QuotedString(std::string_view text);

// The value of a hexadecimal digit in either case, or -1.
int HexDigitValue(char c);

}  // namespace sievo
