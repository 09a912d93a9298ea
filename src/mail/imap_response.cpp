#include "mail/imap_response.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "config/text.h"
#include "mail/mail_errors.h"

namespace sievo {

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[noreturn]] void Unreadable(std::string_view text) {
    throw EImapSyntax("Unreadable reply from the IMAP server: " + std::string(text.substr(0, 200)));
}

// Reads values from a response's text, taking each literal's bytes in turn.
class ValueReader {
public:
    ValueReader(std::string_view text, const std::vector<std::optional<std::string>>& literals)
        : text_(text), literals_(literals) {}

    std::vector<ImapValue> ReadAll() {
        std::vector<ImapValue> values = ReadUntil('\0');
        if (at_ < text_.size())
            Unreadable(text_);
        return values;
    }

private:
    std::vector<ImapValue> ReadUntil(char close) {
        std::vector<ImapValue> values;
        for (;;) {
            while (at_ < text_.size() && text_[at_] == ' ')
                ++at_;
            if (at_ == text_.size() || text_[at_] == close)
                return values;
            values.push_back(ReadValue());
        }
    }

    ImapValue ReadValue() {
        switch (text_[at_]) {
            case '(':
                return ReadList();
            case '"':
                return ReadQuoted();
            case '{':
                return ReadLiteral();
            case ')':
                Unreadable(text_);
            default:
                return ReadAtom();
        }
    }

    ImapValue ReadList() {
        ++at_;
        ImapValue list{.kind = ImapValue::Kind::List};
        list.items = ReadUntil(')');
        if (at_ == text_.size())
            Unreadable(text_);
        ++at_;
        return list;
    }

    ImapValue ReadQuoted() {
        ImapValue value{.kind = ImapValue::Kind::String};
        for (++at_; at_ < text_.size(); ++at_) {
            char c = text_[at_];
            if (c == '"') {
                ++at_;
                return value;
            }
            if (c == '\\' && ++at_ < text_.size())
                c = text_[at_];
            value.text += c;
        }
        Unreadable(text_);
    }

    ImapValue ReadLiteral() {
        const std::size_t close = text_.find('}', at_);
        if (close == std::string_view::npos || next_ >= literals_.size())
            Unreadable(text_);
        at_ = close + 1;
        const auto& bytes = literals_[next_++];
        ImapValue value{.kind = ImapValue::Kind::String, .dropped = !bytes};
        if (bytes)
            value.text = *bytes;
        return value;
    }

    // An atom runs to a space or a parenthesis, except inside a section's brackets, which
    // may hold both: BODY[HEADER.FIELDS (Message-ID)].
    ImapValue ReadAtom() {
        const std::size_t start = at_;
        int depth = 0;
        for (; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '[')
                ++depth;
            else if (c == ']' && depth > 0)
                --depth;
            else if (depth == 0 && (c == ' ' || c == '(' || c == ')'))
                break;
        }
        const std::string_view word = text_.substr(start, at_ - start);
        if (SameLetters(word, "NIL"))
            return ImapValue{};
        return ImapValue{.kind = ImapValue::Kind::Atom, .text = std::string(word)};
    }

    std::string_view text_;
    const std::vector<std::optional<std::string>>& literals_;
    std::size_t at_ = 0;
    std::size_t next_ = 0;
};

// Splits off the first word of `rest`.
std::string_view TakeWord(std::string_view& rest) {
    const std::size_t space = rest.find(' ');
    const std::string_view word = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return word;
}

void ReadStatus(ImapResponse& response, std::string_view rest) {
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos)
            Unreadable(rest);
        response.code = std::string(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
        if (rest.starts_with(' '))
            rest.remove_prefix(1);
    }
    response.text = std::string(rest);
}

}  // namespace

bool ImapValue::IsAtom(std::string_view name) const {
    return kind == Kind::Atom && SameLetters(text, name);
}

std::optional<std::uint32_t> ImapValue::Number() const {
    if (kind != Kind::Atom)
        return std::nullopt;
    return ParseImapNumber(text);
}

std::optional<std::uint32_t> ParseImapNumber(std::string_view text) {
    return ParseNumber<std::uint32_t>(text);
}

const ImapValue* ImapValue::Find(std::string_view name) const {
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        if (items[i].IsAtom(name))
            return &items[i + 1];
    }
    return nullptr;
}

bool ImapResponse::IsStatus() const {
    return name == "OK" || name == "NO" || name == "BAD" || name == "PREAUTH" || name == "BYE";
}

std::string ImapResponse::CodeName() const {
    return Upper(code.substr(0, code.find(' ')));
}

std::vector<std::string> ImapResponse::CodeArguments() const {
    std::vector<std::string> words;
    std::string_view rest = code;
    TakeWord(rest);
    while (!rest.empty()) {
        const std::string_view word = TakeWord(rest);
        if (!word.empty())
            words.emplace_back(word);
    }
    return words;
}

std::vector<ImapValue> ParseImapValues(std::string_view text,
                                       const std::vector<std::optional<std::string>>& literals) {
    return ValueReader(text, literals).ReadAll();
}

ImapResponse ParseImapResponse(const ImapResponseText& response) {
    std::string_view rest = response.text;
    ImapResponse parsed;
    parsed.tag = std::string(TakeWord(rest));
    if (parsed.tag.empty())
        Unreadable(response.text);
    if (parsed.tag == "+") {
        parsed.text = std::string(rest);
        return parsed;
    }
    std::string_view word = TakeWord(rest);
    if (parsed.Untagged() && (parsed.number = ParseNumber<std::uint32_t>(word)))
        word = TakeWord(rest);
    parsed.name = Upper(word);
    if (parsed.name.empty())
        Unreadable(response.text);
    if (parsed.IsStatus())
        ReadStatus(parsed, rest);
    else
        parsed.values = ParseImapValues(rest, response.literals);
    return parsed;
}

std::optional<std::uint64_t> TrailingLiteralSize(std::string_view line) {
    if (!line.ends_with('}'))
        return std::nullopt;
    const std::size_t open = line.rfind('{');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string_view digits = line.substr(open + 1, line.size() - open - 2);
    if (digits.ends_with('+'))
        digits.remove_suffix(1);
    return ParseNumber<std::uint64_t>(digits);
}

std::optional<std::string> ImapQuoted(std::string_view text) {
    if (text.find_first_of("\r\n", 0) != std::string_view::npos ||
        text.find('\0') != std::string_view::npos)
        return std::nullopt;
    const bool atom = !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return c > ' ' && c < 0x7f &&
               std::string_view("(){%*\"\\]").find(c) == std::string_view::npos;
    });
    if (atom)
        return std::string(text);
    return QuotedString(text);
}

}  // namespace sievo
