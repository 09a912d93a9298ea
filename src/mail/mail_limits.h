#pragma once

#include <cstddef>

namespace sievo::mail_limits {

// Names, addresses, subjects and attachment types have always been short strings; rules,
// lists and dialogs rely on them never growing beyond this many bytes.
inline constexpr std::size_t kShortText = 255;

// The encoder refuses to wrap a paragraph this long: the program's own texts (replies,
// reports) never come near it, so reaching it means the message is not what it seems.
inline constexpr std::size_t kEncoderParagraph = 24576;

// Quoted-printable lines are wrapped at this many source bytes before escaping.
inline constexpr std::size_t kQuotedPrintableWidth = 65;

// Base64 writes 57 bytes a line: 76 characters, the longest line MIME allows.
inline constexpr std::size_t kBase64GroupBytes = 57;

// Uuencode writes 45 bytes a line, the group size every uudecoder expects.
inline constexpr std::size_t kUuencodeGroupBytes = 45;

// A multipart boundary is this many random digits.
inline constexpr std::size_t kBoundaryDigits = 8;

// An encoded word's charset is a short registered name; a longer one is not an encoded word.
inline constexpr std::size_t kCharsetNameMax = 64;

}  // namespace sievo::mail_limits
