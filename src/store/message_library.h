#pragma once

#include <string>
#include <vector>

class QDateTime;
class QString;

namespace sievo {

// One reply or report message of the library: its name and its file.
struct LibraryEntry {
    std::string name;
    std::string fileName;  // without folder and extension

    bool operator==(const LibraryEntry&) const = default;
};

// messages.ini: [MessageCount] NumMessages counts the entries [MESSAGE1] to [MESSAGEn];
// each names a message file "<fileName>.msg" in the data folder. The file is read afresh
// at every call; every change is one atomic write that raises "Unable to write to <file>"
// when it is refused.
namespace message_library {

std::string Path();
// The message file of an entry from its base name.
std::string MessageFilePath(const std::string& baseName);

// Every entry in entry order, duplicates and empty names included; at most as many as
// the last [MESSAGEn] present.
std::vector<LibraryEntry> LoadAll();
// The file name of the last entry whose name equals `name` exactly; empty when none does.
std::string GetMessageFilenameFromName(const std::string& name);

struct Added {
    int number;
    LibraryEntry entry;
};
// Adds an entry called `name` after the last one shown, in a fresh section, and raises the
// count. Its file name is made from the name's first three characters and its number.
Added Append(const std::string& name);
// Gives entry `number` a new name and file name.
void Rename(int number, const LibraryEntry& entry);
// Deletes entry `number`: every later entry moves down one number. Its file stays.
void Remove(int number);
// Deletes a message file; false when it is there and cannot be deleted.
bool RemoveFile(const std::string& baseName);

// The base name of a message file: the first `length` characters of the entry's name, the
// number, then the month and the seconds of `now` as two digits each. Characters that
// could leave the folder or upset a file system become "_".
std::string MakeMessageFileName(const QString& name, int length, int number, const QDateTime& now);

}  // namespace message_library

}  // namespace sievo
