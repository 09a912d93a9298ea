#pragma once

#include <stdexcept>
#include <string>

namespace sievo {

// The base of every error the program raises itself; what() is the text the user sees.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace sievo
