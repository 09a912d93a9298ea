#include "store/settings_store.h"

#include "config/ini_file.h"
#include "temp_home.h"

namespace sievo {
namespace {

class SettingsStoreTest : public testing::TempHomeTest {
protected:
    static void Put(const char* section, const char* key, const char* value) {
        TIniFile(settings::SettingsPath()).WriteString(section, key, value);
    }
};

TEST_F(SettingsStoreTest, ValuesAreReadAnewAtEveryUse) {
    Put("Main", "AutoEnabled", "yes");
    EXPECT_FALSE(settings::AutoEnabled());
    Put("main", "autoenabled", "1");
    EXPECT_TRUE(settings::AutoEnabled());
    Put("Sounds", "Disbable", "1");  // the key as earlier versions spelt it
    EXPECT_TRUE(settings::SoundsDisabled());
}

TEST_F(SettingsStoreTest,
       OptionsLoadAsSavedAProxySwitchedOffKeepsItsAddressAndThePortIsUsedAsTyped) {
    EXPECT_EQ(settings::LoadOptions(), settings::ProgramOptions{});
    const settings::ProgramOptions saved{true, true, "browser --new", true, true, "proxy", "81"};
    settings::SaveOptions(saved);
    EXPECT_EQ(settings::LoadOptions(), saved);
    EXPECT_EQ(TIniFile(settings::SettingsPath()).ReadInteger("AUTOUPDATE", "FREQUENCY", 0), 3);

    settings::SaveOptions({false, false, "", false, false, "other", "82"});
    EXPECT_EQ(settings::LoadOptions(),
              (settings::ProgramOptions{false, false, "", false, false, "proxy", "81"}));

    // The window shows the port as a number; the updater takes the text as typed.
    settings::ProgramOptions options;
    options.useProxy = true;
    for (const auto& [typed, shown] : {std::pair("0x1F90", "8080"), {"eighty", "0"}, {"", "0"}}) {
        options.proxyPort = typed;
        settings::SaveOptions(options);
        EXPECT_EQ(settings::LoadOptions().proxyPort, shown) << typed;
        EXPECT_EQ(settings::ProxyPort(), typed);
    }
}

}  // namespace
}  // namespace sievo
