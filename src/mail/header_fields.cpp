#include "mail/header_fields.h"

#include <algorithm>

#include "config/text.h"
#include "mail/encoded_words.h"

namespace sievo {

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
bool IsFoldBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanksAndControls(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compared in place: the engine reads fields of every waiting message for every rule.
bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), line.begin(),
                      [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
}

std::string_view WithoutColon(std::string_view name) {
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    return name;
}

// "Name:" or "Name :", but not "Name-Other:".
bool IsFieldLine(std::string_view line, std::string_view bareName) {
    if (!StartsWithNoCase(line, bareName))
        return false;
    std::string_view rest = line.substr(bareName.size());
    while (!rest.empty() && IsFoldBlank(rest.front()))
        rest.remove_prefix(1);
    return !rest.empty() && rest.front() == ':';
}

// A line continues the field before it unless it ends the header block or starts a field
// of its own (a colon without leading white space). Mailers that fold without the white
// space still get their continuation read.
bool IsContinuation(std::string_view line) {
    if (line.empty())
        return false;
    return IsFoldBlank(line.front()) || line.find(':') == std::string_view::npos;
}

std::string_view ValueAfterColon(std::string_view line) {
    return line.substr(std::min(line.find(':'), line.size() - 1) + 1);
}

std::vector<std::string>::const_iterator FindField(const std::vector<std::string>& lines,
                                                   std::string_view bareName) {
    return std::find_if(lines.begin(), lines.end(),
                        [&](const std::string& line) { return IsFieldLine(line, bareName); });
}

// Splits at commas outside double quotes; a quoted display name keeps its commas.
void AddAddressEntries(std::string_view text, std::vector<std::string>& result) {
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"')
            quoted = !quoted;
        if (i < text.size() && (text[i] != ',' || quoted))
            continue;
        const std::string_view entry = TrimBlanksAndControls(text.substr(start, i - start));
        if (!entry.empty())
            result.push_back(DecodeHeaderWords(entry));
        start = i + 1;
    }
}

bool IsUndecodedField(std::string_view bareName) {
    const std::string upper = ToUpperAscii(bareName);
    return upper == "CONTENT-TYPE" || upper == "X-UIDL";
}

// The value of the field starting at `field` with its continuation lines joined; `field`
// ends on the line after them.
std::string UnfoldedValue(std::vector<std::string>::const_iterator& field,
                          std::vector<std::string>::const_iterator end) {
    std::string value(TrimBlanksAndControls(ValueAfterColon(*field)));
    for (++field; field != end && IsContinuation(*field); ++field) {
        value += ' ';
        value += TrimBlanksAndControls(*field);
    }
    return value;
}

}  // namespace

std::string GetHeaderField(const std::vector<std::string>& lines, std::string_view name) {
    const std::string_view bareName = WithoutColon(name);
    auto field = FindField(lines, bareName);
    if (field == lines.end())
        return {};
    std::string value = UnfoldedValue(field, lines.end());
    if (IsUndecodedField(bareName))
        return value;
    return DecodeHeaderWords(value);
}

std::vector<std::string> GetRawHeaderFields(const std::vector<std::string>& lines,
                                            std::string_view name) {
    const std::string_view bareName = WithoutColon(name);
    std::vector<std::string> values;
    for (auto field = FindField(lines, bareName); field != lines.end();) {
        values.push_back(UnfoldedValue(field, lines.end()));
        field = std::find_if(field, lines.end(),
                             [&](const std::string& line) { return IsFieldLine(line, bareName); });
    }
    return values;
}

void GetHeaderAddressList(const std::vector<std::string>& lines, std::string_view name,
                          std::vector<std::string>& result) {
    const std::string_view bareName = WithoutColon(name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsFieldLine(lines[i], bareName))
            continue;
        AddAddressEntries(ValueAfterColon(lines[i]), result);
        while (i + 1 < lines.size() && IsContinuation(lines[i + 1])) {
            AddAddressEntries(lines[++i], result);
        }
    }
}

void DeleteHeaderField(std::vector<std::string>& lines, std::string_view name) {
    const auto field = FindField(lines, WithoutColon(name));
    if (field == lines.end())
        return;
    auto end = field + 1;
    while (end != lines.end() && !end->empty() && IsFoldBlank(end->front()))
        ++end;
    lines.erase(field, end);
}

void TruncateAtBody(std::vector<std::string>& lines) {
    const auto blank =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); });
    lines.erase(blank, lines.end());
}

}  // namespace sievo
