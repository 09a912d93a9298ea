#include "config/settings.h"

#include "config/date_time.h"
#include "config/errors.h"
#include "config/ini_file.h"
#include "temp_home.h"

namespace sievo {
namespace {

class SettingsTest : public testing::TempHomeTest {
protected:
    void Put(const char* section, const char* key, const char* value) {
        TIniFile(settings::SettingsPath()).WriteString(section, key, value);
    }
};

TEST_F(SettingsTest, ValuesAreReadAnewAtEveryUse) {
    Put("Main", "AutoEnabled", "yes");
    EXPECT_FALSE(settings::AutoEnabled());
    Put("main", "autoenabled", "1");
    EXPECT_TRUE(settings::AutoEnabled());
    Put("Sounds", "Disbable", "1");  // the key as earlier versions spelt it
    EXPECT_TRUE(settings::SoundsDisabled());
}

TEST(CompactDate, ReadsEightDigitsAndRefusesAnythingElse) {
    EXPECT_EQ(FDTCorDateFromString("19900101"), QDate(1990, 1, 1));
    EXPECT_EQ(FDTCorDateFromString("20240229"), QDate(2024, 2, 29));
    for (const char* bad : {"20230229", "2024011", "202401011", "2024-1-1", "", "abcdefgh"})
        EXPECT_THROW(FDTCorDateFromString(bad), Exception) << bad;
    EXPECT_EQ(FormatCompactDate(QDate(2026, 12, 6)), "20261206");
}

}  // namespace
}  // namespace sievo
