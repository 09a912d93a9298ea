#pragma once

#include <string>
#include <vector>

namespace sievo {

// Starts other programs, such as the user's mail program.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program with its arguments (no shell) without waiting for it; false when it
    // could not start.
    virtual bool StartProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;
};

}  // namespace sievo
