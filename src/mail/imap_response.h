#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sievo {

// One value of an IMAP response: an atom (a word, a number, a flag such as \Seen, or a
// section such as BODY[HEADER]), a string (quoted or literal), NIL, or a parenthesised
// list. A literal larger than the reader would keep is a string whose text is missing.
struct ImapValue {
    enum class Kind { Atom, String, Nil, List };

    Kind kind = Kind::Nil;
    std::string text{};
    std::vector<ImapValue> items{};
    // A literal that was read to its end without being kept.
    bool dropped = false;

    // An atom equal to `name`, letters compared without regard to case.
    bool IsAtom(std::string_view name) const;
    // The atom as an unsigned 32-bit number (UIDs, counts, sizes fit); nothing otherwise.
    std::optional<std::uint32_t> Number() const;
    // The item of a list that follows the atom `name` (as in a FETCH's "UID 7"); nullptr
    // when there is none.
    const ImapValue* Find(std::string_view name) const;
};

// One response as the server sent it: its lines joined, each literal's "{n}" left in the
// text where it stood and its bytes in `literals` (nothing for one that was not kept).
struct ImapResponseText {
    std::string text{};
    std::vector<std::optional<std::string>> literals;
};

// A response cut into what the client acts on. "* 3 FETCH (...)" has tag "*", number 3,
// name "FETCH" and the list in `values`; "A7 OK [READ-WRITE] done" has tag "A7", name
// "OK", code "READ-WRITE" and text "done".
struct ImapResponse {
    std::string tag;  // "*", "+" or the command's tag
    std::optional<std::uint32_t> number;
    std::string name;  // upper case
    // Status responses (OK, NO, BAD, PREAUTH, BYE): the bracketed code and the human text.
    std::string code;
    std::string text{};
    // The values after the name of any other response.
    std::vector<ImapValue> values;

    bool Untagged() const { return tag == "*"; }
    bool IsStatus() const;
    // The code's first word in upper case ("UIDVALIDITY" of "UIDVALIDITY 3857").
    std::string CodeName() const;
    // The words of the code after its name.
    std::vector<std::string> CodeArguments() const;
};

// Raises EImapSyntax on a response that does not parse.
ImapResponse ParseImapResponse(const ImapResponseText& response);
// The values of a text such as a FETCH's list; used by the parser and the tests.
std::vector<ImapValue> ParseImapValues(std::string_view text,
                                       const std::vector<std::optional<std::string>>& literals);

// An unsigned 32-bit number written in decimal digits alone (UIDs, counts, sizes).
std::optional<std::uint32_t> ParseImapNumber(std::string_view text);

// The size announced by a line that ends in a literal ("{123}" or "{123+}"); nothing when
// the line does not end in one.
std::optional<std::uint64_t> TrailingLiteralSize(std::string_view line);

// A string as a command argument: an atom when it is one, else quoted; nothing for text
// that a quoted string cannot carry (line breaks, NUL).
std::optional<std::string> ImapQuoted(std::string_view text);

}  // namespace sievo
