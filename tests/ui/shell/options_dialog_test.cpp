#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "config/date_time.h"
#include "config/settings.h"
#include "ui/shell/options_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class OptionsDialogTest : public MainWindowTest {
protected:
    static QLineEdit* Edit(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(name);
    }
    std::string Setting(const char* section, const char* key) const {
        return TIniFile(PathOf("settings.ini")).ReadString(section, key, "<none>");
    }
};

TEST_F(OptionsDialogTest, ProxyFieldsFollowTheBoxAndOnlyACheckedBoxWritesThem) {
    WriteSetting("AUTOUPDATE", "UseProxy", "1");
    WriteSetting("AUTOUPDATE", "ProxyAddress", "proxy.example.test");
    WriteSetting("AUTOUPDATE", "ProxyPort", "0x1F90");
    WriteSetting("AUTOUPDATE", "FREQUENCY", "9");
    {
        TfrmOptions options(nullptr);
        EXPECT_EQ(Edit(options, "edtProxyAddress")->text(), "proxy.example.test");
        EXPECT_EQ(Edit(options, "edtProxyPort")->text(), "8080");  // read as a number
        EXPECT_TRUE(Edit(options, "edtProxyPort")->isEnabled());
        options.findChild<QCheckBox*>("chkUseProxy")->setChecked(false);
        EXPECT_FALSE(Edit(options, "edtProxyAddress")->isEnabled());
        Edit(options, "edtProxyAddress")->setText("ignored.example.test");
        options.accept();
    }
    EXPECT_EQ(Setting("AUTOUPDATE", "UseProxy"), "0");
    EXPECT_EQ(Setting("AUTOUPDATE", "ProxyAddress"), "proxy.example.test");
    EXPECT_EQ(Setting("AUTOUPDATE", "FREQUENCY"), "3");
    {
        TfrmOptions options(nullptr);
        EXPECT_EQ(Edit(options, "edtProxyAddress")->text(), "");  // not filled when off
        options.findChild<QCheckBox*>("chkUseProxy")->setChecked(true);
        Edit(options, "edtProxyPort")->setText("eighty");
        options.findChild<QRadioButton*>("optUpdateYes")->setChecked(true);
        options.accept();
    }
    EXPECT_EQ(Setting("AUTOUPDATE", "ProxyPort"), "eighty");  // stored as typed
    EXPECT_TRUE(settings::AutoUpdateEnabled());
    TfrmOptions reopened(nullptr);
    EXPECT_EQ(Edit(reopened, "edtProxyPort")->text(), "0");
}

}  // namespace
}  // namespace sievo::testing
