#pragma once

#include <string>
#include <string_view>

namespace sievo {

// Decodes the encoded words ("=?charset?B?...?=" and "=?charset?Q?...?=") of a header
// value into UTF-8. Blanks between two adjacent encoded words disappear; a word that cannot
// be decoded stays as it stands. Line breaks and other control characters that a word
// decodes to become blanks, so a decoded value can never start a header line of its own.
// The result is at most 255 bytes and never ends inside a UTF-8 sequence.
std::string DecodeHeaderWords(std::string_view text);

}  // namespace sievo
