#pragma once

#include <initializer_list>

#include "mail/message.h"
#include "store/message_library.h"

namespace sievo::testing {

// Stores these library entries, and with `withFiles` a message file for each whose subject
// is the entry's name.
inline void WriteMessageLibrary(std::initializer_list<LibraryEntry> entries, bool withFiles) {
    for (const LibraryEntry& entry : entries) {
        message_library::Rename(message_library::Append(entry.name).number, entry);
        if (!withFiles)
            continue;
        TmsMessage message;
        message.SetSubject(entry.name);
        message.Body() = {"Text of " + entry.name};
        message.SaveToFile(message_library::MessageFilePath(entry.fileName));
    }
}

}  // namespace sievo::testing
