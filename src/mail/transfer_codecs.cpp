#include "mail/transfer_codecs.h"

#include "config/text.h"

#include "mail/mail_errors.h"
#include "mail/mail_limits.h"

namespace sievo {

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool IsTransportPadding(char c) {
    return c == ' ' || c == '\t';
}

char UuencodeChar(unsigned value) {
    return value == 0 ? '`' : static_cast<char>(value + ' ');
}

// The grave accent and (from older encoders) the blank both stand for zero.
unsigned UudecodeValue(char c) {
    if (c == '`' || c == ' ')
        return 0;
    if (c > ' ' && c <= '_')
        return static_cast<unsigned>(c - ' ');
    throw Exception(mail_texts::kInvalidCharacter);
}

std::string DecodeQuotedPrintableEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=' || i + 2 >= text.size()) {  // a lone "=" at the end stays
            out += text[i];
            continue;
        }
        const int high = HexDigitValue(text[i + 1]);
        const int low = HexDigitValue(text[i + 2]);
        if (high < 0 || low < 0) {
            throw Exception("'$" + std::string(text.substr(i + 1, 2)) +
                            "' is not a valid integer value");
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Cuts at CR LF, lone CR or lone LF; a final break adds no empty paragraph.
std::vector<std::string_view> SplitParagraphs(std::string_view bytes) {
    std::vector<std::string_view> paragraphs;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        paragraphs.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        paragraphs.push_back(bytes.substr(start));
    return paragraphs;
}

std::string EscapeQuotedPrintable(std::string_view piece) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string out;
    for (char c : piece) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte >= 128 || c == '=') {
            out += '=';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

// Where the next soft break goes: at the last blank within the width (that blank begins the
// next piece), else at the width. A blank at the very start is no break point, or a piece
// that begins with a blank would never shrink.
std::size_t SoftBreakAt(std::string_view rest) {
    const std::size_t width = mail_limits::kQuotedPrintableWidth;
    const std::size_t blank = rest.substr(0, width + 1).find_last_of(' ');
    if (blank != std::string_view::npos && blank > 0)
        return blank;
    return width;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const auto byte = k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u;
            group = (group << 8) | byte;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            out += k <= count ? kBase64Alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return out;
}

void Base64Decoder::AddLine(std::string_view line) {
    if (!TryAddLine(line))
        throw Exception(mail_texts::kInvalidCharacter);
}

bool Base64Decoder::TryAddLine(std::string_view line) {
    for (char c : line) {
        if (c == '=')
            break;
        if (IsTransportPadding(c))
            continue;
        const int value = Base64Value(c);
        if (value < 0)
            return false;
        pending_ = (pending_ << 6) | static_cast<std::uint32_t>(value);
        pendingBits_ += 6;
        if (pendingBits_ >= 8) {
            pendingBits_ -= 8;
            bytes_ += static_cast<char>((pending_ >> pendingBits_) & 0xFF);
        }
    }
    // Padding closes the group: leftover bits are fill, never data.
    if (line.find('=') != std::string_view::npos) {
        pending_ = 0;
        pendingBits_ = 0;
    }
    return true;
}

std::optional<std::string> TryDecodeBase64(std::string_view text) {
    Base64Decoder decoder;
    if (!decoder.TryAddLine(text))
        return std::nullopt;
    return decoder.Bytes();
}

std::string UuencodeLine(std::string_view group) {
    std::string out(1, UuencodeChar(static_cast<unsigned>(group.size())));
    for (std::size_t i = 0; i < group.size(); i += 3) {
        std::uint32_t triple = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            const auto byte = i + k < group.size() ? static_cast<unsigned char>(group[i + k]) : 0u;
            triple = (triple << 8) | byte;
        }
        for (int shift = 18; shift >= 0; shift -= 6)
            out += UuencodeChar((triple >> shift) & 0x3F);
    }
    return out;
}

std::string UudecodeLine(std::string_view line) {
    if (line.empty())
        return {};
    const unsigned count = UudecodeValue(line[0]);
    std::string out;
    // Characters that an encoder or a transport dropped at the line end count as zero.
    auto valueAt = [&](std::size_t pos) {
        return pos < line.size() ? UudecodeValue(line[pos]) : 0;
    };
    for (std::size_t pos = 1; out.size() < count; pos += 4) {
        std::uint32_t quad = 0;
        for (std::size_t k = 0; k < 4; ++k)
            quad = (quad << 6) | valueAt(pos + k);
        for (int shift = 16; shift >= 0 && out.size() < count; shift -= 8) {
            out += static_cast<char>((quad >> shift) & 0xFF);
        }
    }
    return out;
}

std::string DecodeQuotedPrintable(const std::vector<std::string>& lines) {
    constexpr char kCtrlZ = 26;
    std::string out;
    std::string paragraph;
    for (const auto& line : lines) {
        if (!line.empty() && line.back() == '=') {
            paragraph.append(line, 0, line.size() - 1);
            continue;
        }
        paragraph += line;
        out += DecodeQuotedPrintableEscapes(paragraph);
        paragraph.clear();
        if (line.empty() || line.back() != kCtrlZ)
            out += "\r\n";
    }
    out += DecodeQuotedPrintableEscapes(paragraph);
    return out;
}

std::vector<std::string> EncodeQuotedPrintable(std::string_view bytes) {
    std::vector<std::string> lines;
    for (std::string_view paragraph : SplitParagraphs(bytes)) {
        if (paragraph.size() >= mail_limits::kEncoderParagraph) {
            throw Exception(mail_texts::kParagraphTooLarge);
        }
        while (paragraph.size() > mail_limits::kQuotedPrintableWidth) {
            const std::size_t cut = SoftBreakAt(paragraph);
            lines.push_back(EscapeQuotedPrintable(paragraph.substr(0, cut)) + "=");
            paragraph.remove_prefix(cut);
        }
        lines.push_back(EscapeQuotedPrintable(paragraph));
    }
    return lines;
}

}  // namespace sievo
