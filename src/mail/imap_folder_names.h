#pragma once

#include <string>
#include <string_view>

namespace sievo {

// IMAP names folders in "modified UTF-7" (RFC 3501 section 5.1.3): printable ASCII stands
// for itself, "&" is "&-", and every other run of characters is "&", their UTF-16 in
// base64 with "," for "/", and "-". The program keeps folder names in UTF-8.
std::string EncodeFolderName(std::string_view utf8);
// The UTF-8 name; a name that is not valid modified UTF-7 is kept as the server wrote it.
std::string DecodeFolderName(std::string_view wire);

}  // namespace sievo
