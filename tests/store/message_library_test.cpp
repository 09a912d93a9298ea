#include "store/message_library.h"

#include <QDateTime>
#include <filesystem>
#include <functional>

#include "config/activity_log.h"
#include "config/errors.h"
#include "file_size_limit.h"
#include "temp_home.h"

namespace sievo {
namespace {

class MessageLibraryTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
    }
    // messages.ini with one entry for each name and file, counting `count` of them.
    void WriteLibrary(std::initializer_list<LibraryEntry> entries, int count) const {
        std::string text = "[MessageCount]\r\nNumMessages=" + std::to_string(count) + "\r\n";
        int n = 0;
        for (const LibraryEntry& entry : entries)
            text += "[MESSAGE" + std::to_string(++n) + "]\r\nmessagename=" + entry.name +
                    "\r\nmessagefilename=" + entry.fileName + "\r\n";
        WriteFile("messages.ini", text);
    }
};

TEST_F(MessageLibraryTest, EntriesLoadInOrderAndANameGivesTheFileOfItsLastEntry) {
    WriteLibrary({{"Same", "first"}, {"", "unnamed"}, {"Same", "second"}, {"Hidden", "h"}}, 3);
    EXPECT_EQ(message_library::LoadAll(),
              (std::vector<LibraryEntry>{{"Same", "first"}, {"", "unnamed"}, {"Same", "second"}}));
    const std::pair<const char*, const char*> lookups[] = {
        {"Same", "second"}, {"same", ""}, {"", "unnamed"}, {"Hidden", ""}};
    for (const auto& [name, file] : lookups)
        EXPECT_EQ(message_library::GetMessageFilenameFromName(name), file) << name;
}

TEST_F(MessageLibraryTest, AppendFollowsTheEntriesShownAndNamesTheFileAfterTheEntry) {
    WriteLibrary({{"One", "one1"}, {"Two", "two2"}}, 4);
    const message_library::Added added = message_library::Append("New Message");
    EXPECT_EQ(added.number, 3);
    EXPECT_EQ(added.entry.name, "New Message");
    EXPECT_EQ(added.entry.fileName.substr(0, 4), "New3");
    EXPECT_EQ(message_library::LoadAll(),
              (std::vector<LibraryEntry>{{"One", "one1"}, {"Two", "two2"}, added.entry}));
}

TEST_F(MessageLibraryTest, RenameChangesOneEntryAndRemoveMovesTheLaterOnesDown) {
    WriteLibrary({{"One", "one1"}, {"Two", "two2"}, {"Three", "three3"}}, 3);
    message_library::Rename(2, {"Second", "second9"});
    message_library::Remove(1);
    EXPECT_EQ(message_library::LoadAll(),
              (std::vector<LibraryEntry>{{"Second", "second9"}, {"Three", "three3"}}));
    EXPECT_EQ(ReadFile("messages.ini").find("MESSAGE3"), std::string::npos);
}

TEST_F(MessageLibraryTest, ARefusedWriteRaisesAndLeavesTheFileAsItWas) {
    WriteLibrary({{"One", "one1"}, {"Two", "two2"}}, 2);
    const std::string before = ReadFile("messages.ini");
    const std::function<void()> writes[] = {
        [] { message_library::Append("New Message"); },
        [] {
            message_library::Rename(1, {"Renamed", "ren1"});
        },
        [] { message_library::Remove(1); },
    };
    for (const auto& write : writes) {
        const testing::FileSizeLimit fullDisk(0);
        EXPECT_THROW(write(), Exception);
        EXPECT_EQ(ReadFile("messages.ini"), before);
    }
}

TEST_F(MessageLibraryTest, FileNamesKeepOnlyHarmlessCharacters) {
    const QDateTime now(QDate(2024, 3, 9), QTime(10, 20, 45));
    EXPECT_EQ(message_library::MakeMessageFileName("../Renamed", 5, 1, now), "___Re10345");
    EXPECT_EQ(message_library::MakeMessageFileName("\xC3\x89t\xC3\xA9 a-b_c", 20, 12, now),
              "\xC3\x89t\xC3\xA9 a-b_c120345");
}

TEST_F(MessageLibraryTest, RemovingAFileFailsOnlyWhenItStaysThere) {
    WriteFile("gone.msg", "Subject: x\r\n\r\n");
    std::filesystem::create_directories(PathOf("stuck.msg/inside"));
    EXPECT_TRUE(message_library::RemoveFile("gone"));
    EXPECT_FALSE(std::filesystem::exists(PathOf("gone.msg")));
    EXPECT_TRUE(message_library::RemoveFile("never there"));
    EXPECT_FALSE(message_library::RemoveFile("stuck"));
}

}  // namespace
}  // namespace sievo
