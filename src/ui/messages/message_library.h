#pragma once

#include <string>
#include <vector>

#include "config/section_count.h"

class QDateTime;
class QString;

namespace sievo {

// messages.ini: [MessageCount] NumMessages counts the entries [MESSAGE1] to [MESSAGEn].
inline constexpr SectionCount kMessageCount{"MessageCount", "NumMessages", "MESSAGE"};

std::string MessagesIniPath();
// The folder of the message files, with its trailing "/".
std::string GetMessagesPath();
// The file of a library message from its base name.
std::string MessageFilePath(const std::string& baseName);
std::string MessageSection(int entry);

struct LibraryEntry {
    std::string name;
    std::string fileName;  // without folder and extension
};

// Every entry in entry order, duplicates and empty names included.
std::vector<LibraryEntry> ReadMessageLibrary();

// The file name of the last entry whose name equals `name` exactly; empty when none does.
std::string GetMessageFilenameFromName(const std::string& name);

// The base name the editor gives a message file: the first `length` characters of the
// entry's name, the number, then the month and the seconds of `now` as two digits each.
// Characters that could leave the folder or upset a file system become "_".
std::string MakeMessageFileName(const QString& name, int length, int number, const QDateTime& now);

}  // namespace sievo
