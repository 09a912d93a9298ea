#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "config/file_io.h"

namespace sievo::testing {

// The files of the Trash folder `trash` counted by the Message-ID each carries ("<none>"
// for a file without one).
inline std::map<std::string, int> TrashCopiesByMessageId(const std::string& trash) {
    constexpr std::string_view kField = "Message-ID: ";
    std::map<std::string, int> copies;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(trash + "/files", error)) {
        const std::string text = ReadWholeFile(entry.path().string()).value_or("");
        const auto start = text.find(kField);
        const auto end = text.find("\r\n", start);
        ++copies[start == std::string::npos
                     ? "<none>"
                     : text.substr(start + kField.size(), end - start - kField.size())];
    }
    return copies;
}

}  // namespace sievo::testing
