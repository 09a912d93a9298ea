#include "engine/address_lists.h"

#include "config/activity_log.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "log_lines.h"
#include "pump_watch.h"
#include "temp_home.h"

namespace sievo {
namespace {

class AddressListTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
        TheActivityLog().Open();
        watch = std::make_unique<testing::LogWatch>();
    }

    testing::PumpWatch pump;
    std::unique_ptr<testing::LogWatch> watch;
};

TEST_F(AddressListTest, FriendsMatchWholeLinesWithoutRegardToCase) {
    WriteFile("friends.lst",
              "Pal@Example.COM\r\n"
              "friendly.org\n"
              " padded.net\r"
              "\r\n"
              "last.example");
    const std::pair<const char*, bool> cases[] = {
        {"pal@example.com", true},
        {"PAL@EXAMPLE.COM", true},
        {"other@example.com", false},
        {"anyone@FRIENDLY.org", true},
        {"x@mail.friendly.org", false},
        {"x@padded.net", false},
        {"", true},
        {"friendly.org", true},
        {"someone@last.example", true},
        {"pal@example.com.evil", false},
    };
    for (const auto& [address, friendly] : cases)
        EXPECT_EQ(FBOOLIsAFriend(address), friendly) << address;

    // Accented capitals match their lower case; without an empty line "" is no friend.
    WriteFile("friends.lst", "ÉCOLE.FR\na.com\n");
    EXPECT_TRUE(FBOOLIsAFriend("prof@école.fr"));
    EXPECT_FALSE(FBOOLIsAFriend(""));
}

TEST_F(AddressListTest, MissingListsCountAsEmpty) {
    EXPECT_FALSE(FBOOLIsAFriend("x@example.com"));
    bool called = false;
    EXPECT_FALSE(LookUpSpammer("x@example.com", [&] { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(watch->Texts().front(), FriendsPath() + " not found, taken as an empty list");
}

TEST_F(AddressListTest, SpammerLookupRunsTheHitBetweenItsLogLinesEvenWhenItFails) {
    WriteFile("sievo.lst", "spam@bulk.biz\nJUNK.COM\n");
    std::vector<std::string> found;
    for (const char* address : {"SPAM@bulk.biz", "other@bulk.biz", "a@junk.com"}) {
        const bool listed = LookUpSpammer(address, [&] {
            found.push_back(address);
            ActivityLog("Found in List", true);
        });
        EXPECT_EQ(listed, found.size() && found.back() == address) << address;
    }
    EXPECT_EQ(found, (std::vector<std::string>{"SPAM@bulk.biz", "a@junk.com"}));
    const auto logged = watch->Texts();
    const std::vector<std::string> firstLookup(logged.begin(), logged.begin() + 4);
    EXPECT_EQ(firstLookup, (std::vector<std::string>{"Reading SPAM List into memory", "Begin Find",
                                                     "Found in List", "End Find"}));
    EXPECT_GE(pump.turns, 9);  // the interface gets its turn three times per lookup

    EXPECT_THROW(LookUpSpammer("a@junk.com", [] { throw std::runtime_error("write refused"); }),
                 std::runtime_error);
    EXPECT_EQ(watch->Texts().back(), "End Find");
}

}  // namespace
}  // namespace sievo
