#pragma once

#include <string>
#include <string_view>

namespace sievo {

// The bytes converted from the named charset into UTF-8. An unknown charset, or bytes that
// are not valid in it, leave the bytes as they are: showing them is better than losing them.
std::string ConvertToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace sievo
