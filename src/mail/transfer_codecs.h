#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/text.h"

namespace sievo {

// Base64 with the standard alphabet, padded with "=" to a multiple of four characters.
std::string EncodeBase64(std::string_view bytes);

// Collects the bytes of base64 text that arrives line by line; a group may run on into the
// next line. "=" ends the data of its line; blanks and tabs are transport padding and are
// skipped; any other character outside the alphabet raises "Invalid Character".
class Base64Decoder {
public:
    void AddLine(std::string_view line);
    // False at the first foreign character; the bytes before it are kept.
    bool TryAddLine(std::string_view line);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::uint32_t pending_ = 0;
    int pendingBits_ = 0;
};

// The bytes of one complete base64 text, or nothing when it holds a foreign character.
std::optional<std::string> TryDecodeBase64(std::string_view text);

// One uuencoded line for up to 45 bytes; zero is written as a grave accent.
std::string UuencodeLine(std::string_view group);

// The bytes of one uuencoded line; the first character gives their count. A character
// outside the uuencode alphabet raises "Invalid Character".
std::string UudecodeLine(std::string_view line);

// Decodes quoted-printable lines: "=" at a line end joins the next line, "=XY" is the byte
// XY, and every other line end becomes CR LF (except after a Ctrl-Z). "=" before two
// characters that are no hexadecimal digits raises the conversion error.
std::string DecodeQuotedPrintable(const std::vector<std::string>& lines);

// Encodes bytes as quoted-printable lines of at most 65 source bytes, with soft breaks at
// blanks where possible. Raises "Paragraph is too large" for an overlong paragraph.
std::vector<std::string> EncodeQuotedPrintable(std::string_view bytes);

}  // namespace sievo
