#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "store/settings_store.h"
#include "ui/shell/options_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

using OptionsDialogTest = MainWindowTest;

// OK saves what the controls show; the proxy's fields follow its box, and are filled only
// while it is checked.
TEST_F(OptionsDialogTest, OkSavesWhatTheControlsShowAndTheProxyFieldsFollowTheirBox) {
    const settings::ProgramOptions chosen{true, true, "browser", true, true, "proxy", "81"};
    {
        TfrmOptions options(nullptr);
        options.findChild<QCheckBox*>("chkVerbose")->setChecked(chosen.verboseLog);
        options.findChild<QCheckBox*>("chkDisableSounds")->setChecked(chosen.soundsDisabled);
        options.findChild<QLineEdit*>("edtBrowser")->setText("browser");
        options.findChild<QRadioButton*>("optUpdateYes")->setChecked(chosen.autoUpdate);
        options.findChild<QCheckBox*>("chkUseProxy")->setChecked(chosen.useProxy);
        options.findChild<QLineEdit*>("edtProxyAddress")->setText("proxy");
        options.findChild<QLineEdit*>("edtProxyPort")->setText("81");
        options.accept();
        EXPECT_EQ(settings::LoadOptions(), chosen);
    }
    {
        TfrmOptions options(nullptr);
        EXPECT_EQ(options.findChild<QLineEdit*>("edtProxyAddress")->text(), "proxy");
        EXPECT_TRUE(options.findChild<QLineEdit*>("edtProxyPort")->isEnabled());
        options.findChild<QCheckBox*>("chkUseProxy")->setChecked(false);
        EXPECT_FALSE(options.findChild<QLineEdit*>("edtProxyAddress")->isEnabled());
        options.accept();
    }
    TfrmOptions reopened(nullptr);
    EXPECT_EQ(reopened.findChild<QLineEdit*>("edtProxyAddress")->text(), "");
}

}  // namespace
}  // namespace sievo::testing
