#include "store/message_library.h"

#include <filesystem>
#include <functional>

#include "config/errors.h"
#include "file_size_limit.h"
#include "temp_home.h"

namespace sievo {
namespace {

class MessageLibraryTest : public testing::TempHomeTest {
protected:
    // messages.ini with these entries and the count stated.
    void WriteLibrary(std::initializer_list<LibraryEntry> entries, int count) const {
        std::string text = "[MessageCount]\r\nNumMessages=" + std::to_string(count) + "\r\n";
        int n = 0;
        for (const LibraryEntry& entry : entries)
            text += "[MESSAGE" + std::to_string(++n) + "]\r\nmessagename=" + entry.name +
                    "\r\nmessagefilename=" + entry.fileName + "\r\n";
        WriteFile("messages.ini", text);
    }
};

TEST_F(MessageLibraryTest, AppendFollowsTheEntriesShownRenameChangesOneAndRemoveMovesTheLaterDown) {
    WriteLibrary({{"One", "one1"}, {"Two", "two2"}}, 4);
    EXPECT_EQ(message_library::LoadAll().size(), 2u);
    const message_library::Added added = message_library::Append("New Message");
    EXPECT_EQ(added.number, 3);
    EXPECT_EQ(added.entry.name, "New Message");
    EXPECT_EQ(added.entry.fileName.substr(0, 4), "New3");
    EXPECT_EQ(message_library::LoadAll(),
              (std::vector<LibraryEntry>{{"One", "one1"}, {"Two", "two2"}, added.entry}));

    message_library::Rename(2, {"Second", "second9"});
    message_library::Remove(1);
    EXPECT_EQ(message_library::LoadAll(),
              (std::vector<LibraryEntry>{{"Second", "second9"}, added.entry}));
    const std::string file = ReadFile("messages.ini");
    EXPECT_EQ(file.find("MESSAGE3"), std::string::npos);
    EXPECT_NE(file.find("NumMessages=2"), std::string::npos);
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

// Deleting the file of a removed entry is shown by the window's tests.
TEST_F(MessageLibraryTest, RemovingAFileFailsOnlyWhenItStaysThere) {
    std::filesystem::create_directories(PathOf("stuck.msg/inside"));
    EXPECT_TRUE(message_library::RemoveFile("never there"));
    EXPECT_FALSE(message_library::RemoveFile("stuck"));
}

}  // namespace
}  // namespace sievo
