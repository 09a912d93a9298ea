#include "config/section_count.h"

#include "config/activity_log.h"
#include "config/ini_file.h"
#include "temp_home.h"

namespace sievo {
namespace {

class SectionCountTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
    }
    int Count() const {
        return ReadSectionCount(TIniFile(PathOf("accounts.ini")),
                                {"ENTRYCOUNT", "NumEntries", "USER"});
    }
    int CountIn(const std::string& text) {
        WriteFile("accounts.ini", text);
        return Count();
    }
    std::size_t LogLines() const { return TheActivityLog().Lines().size(); }
};

TEST_F(SectionCountTest, ACountNeverRunsPastTheSectionsTheFileHoldsAndIsLoggedOncePerChange) {
    const struct {
        const char* text;
        int count;
        bool logged;
    } cases[] = {
        {"[ENTRYCOUNT]\r\nNumEntries=2147483647\r\n[USER1]\r\n[USER3]\r\n", 3, true},
        {"[EntryCount]\r\nNumEntries=2\r\n[USER1]\r\n[USER2]\r\n[USER3]\r\n", 2, false},
        {"[ENTRYCOUNT]\r\nNumEntries=5\r\n[USER01]\r\n[user2]\r\n[USERS9]\r\n", 2, true},
        {"[ENTRYCOUNT]\r\nNumEntries=0x7fffffff\r\n", 0, true},
        {"[ENTRYCOUNT]\r\nNumEntries=-4\r\n[USER1]\r\n", -4, false},
        // A wrong count is logged again only when it changes.
        {"[ENTRYCOUNT]\r\nNumEntries=9\r\n[USER1]\r\n", 1, true},
        {"[ENTRYCOUNT]\r\nNumEntries=9\r\n[USER1]\r\nPOPUser=sam\r\n", 1, false},
        {"[ENTRYCOUNT]\r\nNumEntries=9\r\n[USER1]\r\n[USER2]\r\n", 2, true},
        {"[ENTRYCOUNT]\r\nNumEntries=1\r\n[USER1]\r\n", 1, false},
        {"[ENTRYCOUNT]\r\nNumEntries=9\r\n[USER1]\r\n[USER2]\r\n", 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto before = LogLines();
        EXPECT_EQ(CountIn(c.text), c.count);
        EXPECT_EQ(Count(), c.count);
        EXPECT_EQ(LogLines(), before + (c.logged ? 1 : 0));
    }
}

}  // namespace
}  // namespace sievo
