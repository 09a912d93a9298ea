#pragma once

#include <string>
#include <vector>

#include "config/activity_log.h"

namespace sievo::testing {

// Marks where the activity log stands, and tells the texts logged since, oldest first,
// without their date and time.
class LogWatch {
public:
    LogWatch() : start_(TheActivityLog().Lines().size()) {}

    std::vector<std::string> Texts() const {
        const auto& lines = TheActivityLog().Lines();
        std::vector<std::string> texts;
        for (std::size_t i = lines.size() - start_; i-- > 0;) {
            const auto separator = lines[i].find(" -- ");
            texts.push_back(separator == std::string::npos ? lines[i]
                                                           : lines[i].substr(separator + 4));
        }
        return texts;
    }

    bool Holds(const std::string& text) const {
        for (const auto& line : Texts())
            if (line == text)
                return true;
        return false;
    }

private:
    std::size_t start_;
};

}  // namespace sievo::testing
