#include "ui/messages/message_library.h"

#include <QDateTime>
#include <QString>

#include "config/data_folder.h"
#include "config/ini_file.h"

namespace sievo {

std::string MessagesIniPath() {
    return ProgramFile("messages.ini");
}

std::string GetMessagesPath() {
    return ProgramFolder();
}

std::string MessageFilePath(const std::string& baseName) {
    return GetMessagesPath() + baseName + ".msg";
}

std::string MessageSection(int entry) {
    return kMessageCount.prefix + std::to_string(entry);
}

std::vector<LibraryEntry> ReadMessageLibrary() {
    const TIniFile file(MessagesIniPath());
    const int count = ReadSectionCount(file, kMessageCount);
    const IniSnapshot ini = file.Snapshot();
    std::vector<LibraryEntry> entries;
    for (int entry = 1; entry <= count; ++entry) {
        const std::string section = MessageSection(entry);
        entries.push_back({ini.ReadString(section, "messagename", ""),
                           ini.ReadString(section, "messagefilename", "")});
    }
    return entries;
}

std::string GetMessageFilenameFromName(const std::string& name) {
    std::string fileName;
    for (const LibraryEntry& entry : ReadMessageLibrary())
        if (entry.name == name)
            fileName = entry.fileName;
    return fileName;
}

std::string MakeMessageFileName(const QString& name, int length, int number, const QDateTime& now) {
    QString base = name.left(length);
    for (QChar& c : base)
        if (!c.isLetterOrNumber() && c != ' ' && c != '-' && c != '_')
            c = '_';
    return (base + QString::number(number) + now.toString("MMss")).toStdString();
}

}  // namespace sievo
