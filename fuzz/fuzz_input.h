#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/text.h"

namespace sievo::fuzzing {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input as header lines, the way the POP3 client hands them over.
inline std::vector<std::string> AsLines(const std::uint8_t* data, std::size_t size) {
    return SplitLines(AsText(data, size));
}

}  // namespace sievo::fuzzing
