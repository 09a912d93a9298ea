#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "store/settings_store.h"
#include "ui/shell/options_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class OptionsDialogTest : public MainWindowTest {
protected:
    static QLineEdit* Edit(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(name);
    }
};

TEST_F(OptionsDialogTest, ProxyFieldsFollowTheBoxAndAreFilledOnlyWhileItIsChecked) {
    settings::SaveOptions({false, false, "", false, true, "proxy.example.test", "0"});
    {
        TfrmOptions options(nullptr);
        EXPECT_EQ(Edit(options, "edtProxyAddress")->text(), "proxy.example.test");
        EXPECT_TRUE(Edit(options, "edtProxyPort")->isEnabled());
        options.findChild<QCheckBox*>("chkUseProxy")->setChecked(false);
        EXPECT_FALSE(Edit(options, "edtProxyAddress")->isEnabled());
        options.accept();
    }
    TfrmOptions reopened(nullptr);
    EXPECT_EQ(Edit(reopened, "edtProxyAddress")->text(), "");
}

TEST_F(OptionsDialogTest, OkSavesWhatTheControlsShow) {
    const settings::ProgramOptions chosen{true, true, "browser", true, true, "proxy", "81"};
    TfrmOptions options(nullptr);
    options.findChild<QCheckBox*>("chkVerbose")->setChecked(chosen.verboseLog);
    options.findChild<QCheckBox*>("chkDisableSounds")->setChecked(chosen.soundsDisabled);
    Edit(options, "edtBrowser")->setText("browser");
    options.findChild<QRadioButton*>("optUpdateYes")->setChecked(chosen.autoUpdate);
    options.findChild<QCheckBox*>("chkUseProxy")->setChecked(chosen.useProxy);
    Edit(options, "edtProxyAddress")->setText("proxy");
    Edit(options, "edtProxyPort")->setText("81");
    options.accept();
    EXPECT_EQ(settings::LoadOptions(), chosen);
}

}  // namespace
}  // namespace sievo::testing
