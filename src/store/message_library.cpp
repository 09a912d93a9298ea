#include "store/message_library.h"

#include <QDateTime>
#include <QString>
#include <filesystem>

#include "config/data_folder.h"
#include "config/ini_file.h"
#include "config/numbered_sections.h"
#include "config/section_count.h"

namespace sievo::message_library {

namespace {

constexpr SectionCount kMessageCount{"MessageCount", "NumMessages", "MESSAGE"};
constexpr const char* kName = "messagename";
constexpr const char* kFileName = "messagefilename";

std::string Section(int number) {
    return kMessageCount.prefix + std::to_string(number);
}

void Write(IniEdit& ini, int number, const LibraryEntry& entry) {
    ini.WriteString(Section(number), kName, entry.name);
    ini.WriteString(Section(number), kFileName, entry.fileName);
}

}  // namespace

std::string Path() {
    return ProgramFile("messages.ini");
}

std::string MessageFilePath(const std::string& baseName) {
    return ProgramFile(baseName + ".msg");
}

std::vector<LibraryEntry> LoadAll() {
    const TIniFile file(Path());
    const int count = ReadSectionCount(file, kMessageCount);
    const IniSnapshot ini = file.Snapshot();
    std::vector<LibraryEntry> entries;
    for (int number = 1; number <= count; ++number) {
        const std::string section = Section(number);
        entries.push_back(
            {ini.ReadString(section, kName, ""), ini.ReadString(section, kFileName, "")});
    }
    return entries;
}

std::string GetMessageFilenameFromName(const std::string& name) {
    std::string fileName;
    for (const LibraryEntry& entry : LoadAll())
        if (entry.name == name)
            fileName = entry.fileName;
    return fileName;
}

Added Append(const std::string& name) {
    Added added{0, {name, ""}};
    added.number =
        AppendNumberedSection(TIniFile(Path()), kMessageCount, [&](IniEdit& ini, int number) {
            added.entry.fileName = MakeMessageFileName(QString::fromStdString(name), 3, number,
                                                       QDateTime::currentDateTime());
            Write(ini, number, added.entry);
        });
    return added;
}

void Rename(int number, const LibraryEntry& entry) {
    TIniFile(Path()).Edit([&](IniEdit& ini) { Write(ini, number, entry); });
}

void Remove(int number) {
    DeleteNumberedSection(TIniFile(Path()), kMessageCount, number, 1);
}

bool RemoveFile(const std::string& baseName) {
    std::error_code error;
    std::filesystem::remove(MessageFilePath(baseName), error);
    return !error;
}

std::string MakeMessageFileName(const QString& name, int length, int number, const QDateTime& now) {
    QString base = name.left(length);
    for (QChar& c : base)
        if (!c.isLetterOrNumber() && c != ' ' && c != '-' && c != '_')
            c = '_';
    return (base + QString::number(number) + now.toString("MMss")).toStdString();
}

}  // namespace sievo::message_library
