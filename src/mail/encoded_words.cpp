#include "mail/encoded_words.h"

#include <optional>
#include <vector>

#include "config/text.h"
#include "mail/charset.h"
#include "mail/mail_limits.h"
#include "mail/transfer_codecs.h"

namespace sievo {

namespace {

constexpr std::string_view kWordStart = "=?";
constexpr std::string_view kWordEnd = "?=";

// A piece of the value: plain text, or the decoded bytes of an encoded word.
struct Piece {
    std::string text;
    std::string charset;
    bool encoded = false;
};

// "Q" text: "_" is a blank, "=XY" one byte; nothing when an "=" lacks its two digits.
std::optional<std::string> TryDecodeQWord(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            out += ' ';
        } else if (text[i] != '=') {
            out += text[i];
        } else {
            if (i + 2 >= text.size())
                return std::nullopt;
            const int high = HexDigitValue(text[i + 1]);
            const int low = HexDigitValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return out;
}

std::optional<std::string> DecodeWordText(char letter, std::string_view text) {
    if (letter == 'B' || letter == 'b')
        return TryDecodeBase64(text);
    if (letter == 'Q' || letter == 'q')
        return TryDecodeQWord(text);
    return std::nullopt;
}

// Reads the encoded words of one value. Remembers where the last "?=" was found, so that
// a value full of "=?" is still read in one pass.
class EncodedWordReader {
public:
    explicit EncodedWordReader(std::string_view text) : text_(text) {}

    std::vector<Piece> ReadPieces() {
        std::vector<Piece> pieces;
        std::size_t plainStart = 0;
        std::size_t pos = text_.find(kWordStart);
        while (pos != std::string_view::npos) {
            std::size_t wordEnd = 0;
            std::optional<Piece> word = ReadWordAt(pos, wordEnd);
            if (!word) {
                pos = text_.find(kWordStart, pos + 1);
                continue;
            }
            if (pos > plainStart)
                pieces.push_back(
                    {std::string(text_.substr(plainStart, pos - plainStart)), {}, false});
            pieces.push_back(std::move(*word));
            plainStart = wordEnd;
            pos = text_.find(kWordStart, wordEnd);
        }
        if (plainStart < text_.size())
            pieces.push_back({std::string(text_.substr(plainStart)), {}, false});
        return pieces;
    }

private:
    // The word "=?charset?letter?text?=" at pos, or nothing when it is not one or does
    // not decode (it then stays in the text as it stands).
    std::optional<Piece> ReadWordAt(std::size_t pos, std::size_t& wordEnd) {
        const std::size_t charsetStart = pos + kWordStart.size();
        const std::string_view charsetArea =
            text_.substr(charsetStart, mail_limits::kCharsetNameMax + 1);
        const std::size_t charsetLength = charsetArea.find('?');
        if (charsetLength == std::string_view::npos || charsetLength == 0)
            return std::nullopt;
        const std::string_view charset = charsetArea.substr(0, charsetLength);
        if (charset.find_first_of(" \t") != std::string_view::npos)
            return std::nullopt;
        const std::size_t letterAt = charsetStart + charsetLength + 1;
        if (letterAt + 1 >= text_.size() || text_[letterAt + 1] != '?')
            return std::nullopt;
        const std::size_t textStart = letterAt + 2;
        const std::size_t close = FindWordEnd(textStart);
        if (close == std::string_view::npos)
            return std::nullopt;
        auto bytes = DecodeWordText(text_[letterAt], text_.substr(textStart, close - textStart));
        if (!bytes)
            return std::nullopt;
        wordEnd = close + kWordEnd.size();
        return Piece{std::move(*bytes), std::string(charset), true};
    }

    std::size_t FindWordEnd(std::size_t from) {
        if (!searched_ || (lastEnd_ != std::string_view::npos && lastEnd_ < from)) {
            lastEnd_ = text_.find(kWordEnd, from);
            searched_ = true;
        }
        return lastEnd_;
    }

    std::string_view text_;
    std::size_t lastEnd_ = std::string_view::npos;
    bool searched_ = false;
};

bool IsAllBlank(std::string_view text) {
    return TrimBlanks(text).empty();
}

// Blanks between two encoded words only separate them; they are not part of the text.
void DropBlanksBetweenWords(std::vector<Piece>& pieces) {
    std::vector<Piece> kept;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const bool between =
            i > 0 && i + 1 < pieces.size() && pieces[i - 1].encoded && pieces[i + 1].encoded;
        if (!pieces[i].encoded && between && IsAllBlank(pieces[i].text))
            continue;
        kept.push_back(std::move(pieces[i]));
    }
    pieces = std::move(kept);
}

void ReplaceControlCharacters(std::string& text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < ' ' && c != '\t')
            c = ' ';
    }
}

}  // namespace

std::string DecodeHeaderWords(std::string_view text) {
    if (text.find(kWordStart) == std::string_view::npos) {
        return std::string(Utf8Truncate(text, mail_limits::kShortText));
    }
    std::vector<Piece> pieces = EncodedWordReader(text).ReadPieces();
    DropBlanksBetweenWords(pieces);
    std::string out;
    // Adjacent words of one charset are converted together: a mailer may split one
    // character's bytes across two words.
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].encoded) {
            out += pieces[i].text;
            continue;
        }
        std::string bytes = pieces[i].text;
        while (i + 1 < pieces.size() && pieces[i + 1].encoded &&
               SameText(pieces[i + 1].charset, pieces[i].charset)) {
            bytes += pieces[++i].text;
        }
        std::string converted = ConvertToUtf8(bytes, pieces[i].charset);
        ReplaceControlCharacters(converted);
        out += converted;
    }
    return std::string(Utf8Truncate(out, mail_limits::kShortText));
}

}  // namespace sievo
