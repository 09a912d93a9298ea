#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWizard>

#include "messages/message_library_files.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "ui/rules/rule_properties_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class RuleDialogsTest : public MainWindowTest {
protected:
    // Goes through the wizard to its end, after `fill` had its say on the first page.
    void RunWizard(const std::function<void(QWizard&)>& fill) {
        ModalAction finish([&fill](QWidget& window) {
            auto& wizard = static_cast<QWizard&>(window);
            fill(wizard);
            wizard.next();
            wizard.button(QWizard::FinishButton)->click();
        });
        Main().Menu().quickAdd->trigger();
        EXPECT_TRUE(finish.Done());
    }
};

TEST_F(RuleDialogsTest, WizardWritesItsDefaultsExactlyAndKeepsACriterionOverMinimising) {
    WriteMessageLibrary({{"Go away", "away1"}}, false);
    RunWizard([](QWizard& wizard) { EXPECT_EQ(wizard.objectName(), "frmRuleWizard"); });
    RuleRecord expected;
    expected.Criteria = "FROM";
    expected.Reply = expected.Report = false;
    EXPECT_EQ(rule_store::LoadAll(RuleDefaults::kEngine), std::vector<RuleRecord>{expected});
    EXPECT_EQ(sounds, std::vector<std::string>{PathOf("newitem.wav")});

    RunWizard([](QWizard& wizard) {
        wizard.findChild<QAbstractButton*>("optHeader")->click();
        wizard.findChild<QComboBox*>("edtHeaders")->setCurrentText("X-Mailer: Floodgate");
        wizard.setWindowState(Qt::WindowMinimized);
        wizard.setWindowState(Qt::WindowNoState);
        EXPECT_TRUE(wizard.findChild<QAbstractButton*>("optHeader")->isChecked());
    });
    const RuleRecord second = rule_store::Load(2);
    EXPECT_EQ(second.Criteria + "|" + second.Value, "HEADER|X-Mailer: Floodgate");

    RunWizard([](QWizard& wizard) {
        wizard.findChild<QAbstractButton*>("optDnsbl")->click();
        wizard.findChild<QLineEdit*>("edtZone")->setText("bl.example.org");
    });
    const RuleRecord third = rule_store::Load(3);
    EXPECT_EQ(third.Criteria + "|" + third.Value, "DNSBL|bl.example.org");
}

TEST_F(RuleDialogsTest, QuickAddFromAMessageStartsWithItsAddressAndChoicesAreWritten) {
    WriteMessageLibrary({{"Go away", "away1"}, {"Abuse", "abuse2"}}, false);
    ModalAction finish([](QWidget& window) {
        auto& wizard = static_cast<QWizard&>(window);
        auto* address = wizard.findChild<QLineEdit*>("edtFrom");
        EXPECT_EQ(address->text(), "spam@spam.example");
        EXPECT_EQ(wizard.focusWidget(), address);
        wizard.next();
        wizard.findChild<QAbstractButton*>("chkAbuse")->click();
        wizard.findChild<QComboBox*>("cmbReport")->setCurrentIndex(1);
        wizard.findChild<QAbstractButton*>("chkSave")->click();
        EXPECT_FALSE(wizard.findChild<QAbstractButton*>("chkConfirm")->isEnabled());
        wizard.button(QWizard::FinishButton)->click();
    });
    Main().QuickAdd("spam@spam.example");
    EXPECT_TRUE(finish.Done());
    const RuleRecord added = rule_store::Load(1, RuleDefaults::kShown);
    EXPECT_EQ(added.Value, "spam@spam.example");
    EXPECT_TRUE(added.Report);
    EXPECT_EQ(added.Reportname + "|" + added.ReportFile, "Abuse|abuse2");
    EXPECT_FALSE(added.DeleteAction);
    EXPECT_EQ(Main().RuleList().findChild<QTreeWidget*>("lstVRules")->topLevelItemCount(), 1);
}

TEST_F(RuleDialogsTest, PropertiesRefuseOkUntilTickedMessagesAreChosenAndTakeTheLaterOfTwoNames) {
    WriteMessageLibrary({{"Same", "first"}, {"Other", "other"}, {"Same", "second"}}, false);
    TfrmRuleProp dialog;
    dialog.PopulateMessageList();
    RuleRecord rule;
    rule.DeleteAction = false;
    rule.Replyname = "No longer there";
    dialog.Load(rule);
    EXPECT_TRUE(dialog.findChild<QAbstractButton*>("chkSave")->isChecked());
    EXPECT_FALSE(dialog.findChild<QAbstractButton*>("chkConfirm")->isEnabled());
    auto* reply = dialog.findChild<QComboBox*>("cmbReply");
    EXPECT_EQ(reply->currentIndex(), -1);

    ModalAnswerer answerer(ModalAnswerer::Answers(3, {"dlgMessage", "OK"}));
    dialog.show();
    QAbstractButton* ok = dialog.findChild<QAbstractButton*>("btnOK");
    ok->click();  // both missing: two messages, still open
    EXPECT_TRUE(dialog.isVisible());
    reply->setCurrentIndex(1);
    ok->click();  // the report is still missing
    EXPECT_TRUE(dialog.isVisible());
    dialog.findChild<QAbstractButton*>("chkAbuse")->click();
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(answerer.seen,
              std::vector<std::string>(
                  {"dlgMessage: Please select a reply message or uncheck the option.",
                   "dlgMessage: Please select a report message or uncheck the option.",
                   "dlgMessage: Please select a report message or uncheck the option."}));
    EXPECT_EQ(dialog.Settings().Replyname, "Other");

    rule.Criteria = "AUTHFAIL";
    rule.Value = "spf";
    dialog.Load(rule);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("edtAuthMethods")->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.Settings().Criteria + "|" + dialog.Settings().Value, "AUTHFAIL|spf");

    rule.Criteria = "SUBCONT";
    rule.Value = "win";
    rule.Replyname = "Same";
    dialog.Load(rule);
    EXPECT_EQ(reply->count(), 3);
    EXPECT_EQ(reply->currentIndex(), 2);
    EXPECT_EQ(dialog.findChild<QComboBox*>("edtValue")->currentText(), "win");
    EXPECT_EQ(dialog.Settings().ReplyFile, "second");
}

}  // namespace
}  // namespace sievo::testing
