#include "engine/trash.h"

#include <cstdlib>

#include "config/activity_log.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "temp_home.h"

namespace sievo {
namespace {

class TrashTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        setenv("XDG_DATA_HOME", (Home() + "xdg").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        TempHomeTest::TearDown();
    }
    // A file of the Trash folder: files/<name> or info/<name>.trashinfo.
    std::string InTrash(const std::string& path) const {
        return ReadWholeFile(TrashFolder() + "/" + path).value_or("<missing>");
    }
};

TEST_F(TrashTest, AFileCanBeRestoredFromWhereItWentAndEarlierCopiesAreKept) {
    WriteFile("spam message.eml", "body");
    const std::string moved = MoveToTrash(PathOf("spam message.eml"));
    EXPECT_EQ(moved, Home() + "xdg/Trash/files/spam message.eml");
    EXPECT_EQ(InTrash("files/spam message.eml"), "body");
    EXPECT_EQ(ReadFile("spam message.eml"), "<missing>");
    const std::string info = InTrash("info/spam message.eml.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
    EXPECT_NE(info.find("spam%20message.eml\nDeletionDate="), std::string::npos) << info;

    for (const char* body : {"second", "third"}) {
        WriteFile("spam message.eml", body);
        MoveToTrash(PathOf("spam message.eml"));
    }
    EXPECT_EQ(InTrash("files/spam message.eml"), "body");
    EXPECT_EQ(InTrash("files/spam message.2.eml"), "second");
    EXPECT_EQ(InTrash("files/spam message.3.eml"), "third");
    EXPECT_NE(InTrash("info/spam message.3.eml.trashinfo"), "<missing>");
}

TEST_F(TrashTest, AMissingFileIsAnErrorAndNothingIsLeftBehind) {
    EXPECT_THROW(MoveToTrash(PathOf("never-there.eml")), Exception);
    TheActivityLog().Open();
    EXPECT_EQ(FLINTdeleteToBin(PathOf("never-there.eml")), 1);
    EXPECT_NE(TheActivityLog().Lines().front().find("-SV_ERROR-Unable to move"), std::string::npos);
    EXPECT_EQ(InTrash("info/never-there.eml.trashinfo"), "<missing>");
}

}  // namespace
}  // namespace sievo
