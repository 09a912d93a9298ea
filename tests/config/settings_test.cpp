#include "config/settings.h"

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

}  // namespace
}  // namespace sievo
