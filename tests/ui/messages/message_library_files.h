#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "config/file_io.h"
#include "mail/message.h"

namespace sievo::testing {

// Writes messages.ini with these entries (name, file name without ".msg") into `home`, and
// with `withFiles` a message file for each whose subject is the entry's name.
inline void WriteMessageLibrary(const std::string& home,
                                std::initializer_list<std::pair<const char*, const char*>> entries,
                                bool withFiles) {
    std::string text = "[MessageCount]\r\nNumMessages=" + std::to_string(entries.size()) + "\r\n";
    int n = 0;
    for (const auto& [name, file] : entries) {
        text += "[MESSAGE" + std::to_string(++n) + "]\r\nmessagename=" + name +
                "\r\nmessagefilename=" + file + "\r\n";
        if (!withFiles)
            continue;
        TmsMessage message;
        message.SetSubject(name);
        message.Body() = {std::string("Text of ") + name};
        message.SaveToFile(home + file + ".msg");
    }
    WriteFileAtomically(home + "messages.ini", text);
}

}  // namespace sievo::testing
