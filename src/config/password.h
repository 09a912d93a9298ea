#pragma once

#include <string>
#include <string_view>

namespace sievo {

// The scrambling of stored passwords; both keep the length, and decoding an encoded
// text gives it back.
std::string EncodePassword(std::string_view plain);
std::string DecodePassword(std::string_view stored);

// What goes into accounts.ini for a password, and back. A scrambled text that the file
// could not keep intact (line breaks, NUL and other control bytes, blanks at either end,
// matching quotes) is stored as kStoredPasswordHexMarker + hexadecimal instead; every
// other scrambled text is stored as it is, as older files hold it.
std::string PasswordToIni(std::string_view plain);
std::string PasswordFromIni(std::string_view stored);

inline constexpr std::string_view kStoredPasswordHexMarker = "{hex}";

}  // namespace sievo
