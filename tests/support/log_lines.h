#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "config/activity_log.h"

namespace sievo::testing {

// A line of the activity log without its date and time.
inline std::string WithoutStamp(const std::string& line) {
    const auto separator = line.find(" -- ");
    return separator == std::string::npos ? line : line.substr(separator + 4);
}

// The text logged last, without its date and time.
inline std::string LatestLogText() {
    const auto& lines = TheActivityLog().Lines();
    return lines.empty() ? std::string() : WithoutStamp(lines.front());
}

// Marks where the activity log stands, and tells the texts logged since, oldest first,
// without their date and time.
class LogWatch {
public:
    LogWatch() : start_(TheActivityLog().Lines().size()) {}

    std::vector<std::string> Texts() const {
        const auto& lines = TheActivityLog().Lines();
        std::vector<std::string> texts;
        for (std::size_t i = lines.size() - start_; i-- > 0;)
            texts.push_back(WithoutStamp(lines[i]));
        return texts;
    }

    bool Holds(const std::string& text) const { return std::ranges::count(Texts(), text) > 0; }

private:
    std::size_t start_;
};

}  // namespace sievo::testing
