#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>

#include "config/ini_file.h"
#include "messages/message_library_files.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "ui/rules/rule_properties_dialog.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class RuleDialogsTest : public MainWindowTest {
protected:
    void WriteLibrary(std::initializer_list<std::pair<const char*, const char*>> entries) const {
        WriteMessageLibrary(Home(), entries, false);
    }
    std::string Rule1(const char* key) const {
        return TIniFile(PathOf("rules.ini")).ReadString("PROCEDURE1", key, "<none>");
    }
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

TEST_F(RuleDialogsTest, WizardKeepingEveryDefaultWritesThemExactly) {
    WriteLibrary({{"Go away", "away1"}});
    RunWizard([](QWizard& wizard) { EXPECT_EQ(wizard.objectName(), "frmRuleWizard"); });
    const std::pair<const char*, const char*> expected[] = {
        {"Criteria", "FROM"}, {"Value", ""},         {"DeleteAction", "1"}, {"Beep", "0"},
        {"Reply", "0"},       {"Report", "0"},       {"Confirm", "0"},      {"SendtoRecycle", "1"},
        {"Replyname", ""},    {"ReplyFile", ""},     {"Reportname", ""},    {"ReportFile", ""},
        {"Active", "<none>"}, {"NumHits", "<none>"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(Rule1(key), value) << key;
    EXPECT_EQ(TIniFile(PathOf("rules.ini")).ReadString("ProcedureCount", "NumProcs", ""), "1");
    EXPECT_EQ(sounds, std::vector<std::string>{PathOf("newitem.wav")});
}

TEST_F(RuleDialogsTest, QuickAddFromAMessageStartsWithItsAddressAndChoicesAreWritten) {
    WriteLibrary({{"Go away", "away1"}, {"Abuse", "abuse2"}});
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
    EXPECT_EQ(Rule1("Value"), "spam@spam.example");
    EXPECT_EQ(Rule1("Report") + Rule1("Reportname") + Rule1("ReportFile"), "1Abuseabuse2");
    EXPECT_EQ(Rule1("DeleteAction"), "0");
    EXPECT_EQ(Main().RuleList().findChild<QTreeWidget*>("lstVRules")->topLevelItemCount(), 1);
}

TEST_F(RuleDialogsTest, RestoringTheMinimisedWizardKeepsTheChosenCriterion) {
    RunWizard([](QWizard& wizard) {
        wizard.findChild<QAbstractButton*>("optHeader")->click();
        wizard.findChild<QComboBox*>("edtHeaders")->setCurrentText("X-Mailer: Floodgate");
        wizard.setWindowState(Qt::WindowMinimized);
        wizard.setWindowState(Qt::WindowNoState);
        EXPECT_TRUE(wizard.findChild<QAbstractButton*>("optHeader")->isChecked());
    });
    EXPECT_EQ(Rule1("Criteria"), "HEADER");
    EXPECT_EQ(Rule1("Value"), "X-Mailer: Floodgate");
}

TEST_F(RuleDialogsTest, PropertiesRefuseOkUntilTickedMessagesAreChosen) {
    WriteLibrary({{"Go away", "away1"}});
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

    ModalAnswerer answerer(
        ModalAnswerer::Answers{{"dlgMessage", "OK"}, {"dlgMessage", "OK"}, {"dlgMessage", "OK"}});
    dialog.show();
    QAbstractButton* ok = dialog.findChild<QAbstractButton*>("btnOK");
    ok->click();  // both missing: two messages, still open
    EXPECT_TRUE(dialog.isVisible());
    reply->setCurrentIndex(0);
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
    EXPECT_EQ(dialog.Settings().Replyname, "Go away");
}

TEST_F(RuleDialogsTest, TwoEntriesOfOneNameBothListedTheLaterChosenAndWritten) {
    WriteLibrary({{"Same", "first"}, {"Other", "other"}, {"Same", "second"}});
    TIniFile rules(PathOf("rules.ini"));
    rules.WriteString("ProcedureCount", "NumProcs", "1");
    rules.WriteString("PROCEDURE1", "Criteria", "SUBCONT");
    rules.WriteString("PROCEDURE1", "Value", "win");
    rules.WriteString("PROCEDURE1", "Reply", "1");
    rules.WriteString("PROCEDURE1", "Replyname", "Same");
    Main().RuleList().PROCloadRuleList();
    auto* list = Main().RuleList().findChild<QTreeWidget*>("lstVRules");
    list->setCurrentItem(list->topLevelItem(0));
    ModalAction confirm([](QWidget& dialog) {
        auto* reply = dialog.findChild<QComboBox*>("cmbReply");
        EXPECT_EQ(reply->count(), 3);
        EXPECT_EQ(reply->currentIndex(), 2);
        EXPECT_EQ(dialog.findChild<QComboBox*>("edtValue")->currentText(), "win");
        dialog.findChild<QAbstractButton*>("btnOK")->click();
    });
    Main().RuleList().N4Click();
    EXPECT_TRUE(confirm.Done());
    EXPECT_EQ(Rule1("ReplyFile"), "second");
    EXPECT_EQ(Rule1("Value"), "win");
}

}  // namespace
}  // namespace sievo::testing
