#include <QAbstractButton>
#include <QLabel>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <tuple>

#include "config/ini_file.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "scripted_server.h"
#include "store/rule_store.h"
#include "ui/rules/rule_list_window.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class RuleListTest : public MainWindowTest {
protected:
    // Stores rules 1..n (criterion, value, hits), odd ones active, the switches alternating
    // from "Yes", and fills the list.
    void WriteRules(std::initializer_list<std::tuple<const char*, const char*, int>> rules) {
        for (const auto& [criteria, value, hits] : rules) {
            RuleRecord rule;
            rule.Criteria = criteria;
            rule.Value = value;
            rule.Report = rule.SendtoRecycle = false;
            rule.Confirm = true;
            const int n = rule_store::Append(rule);
            rule_store::SetActive(n, n % 2 == 1);
            rule_store::AddHits({{n, hits}});
        }
        Window().PROCloadRuleList();
    }
    TfrmList& Window() { return Main().RuleList(); }
    QTreeWidget& List() { return *Window().findChild<QTreeWidget*>("lstVRules"); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List().topLevelItemCount(); ++row)
            texts << List().topLevelItem(row)->text(column);
        return texts;
    }
    // The direction of the next sort belongs to the class, so it takes one or two clicks.
    void SortValuesDescending() {
        for (int click = 0; click < 2; ++click) {
            Window().lstVRulesColumnClick(1);
            const QStringList values = Column(1);
            if (std::is_sorted(values.begin(), values.end(), std::greater<>()))
                return;
        }
        ADD_FAILURE() << "no descending sort";
    }
    void Select(int row) { List().setCurrentItem(List().topLevelItem(row)); }
    void DeleteAnsweringYes() {
        ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
        Window().D1Click();
        EXPECT_TRUE(answerer.AllAnswered());
    }
};

TEST_F(RuleListTest, RowsShowEveryCriterionAndTickingWritesActiveAtOnce) {
    WriteRules({{"FROM", "spam.example", 3},
                {"LIST", "", 0},
                {"FROMNUM", "kept", 0},
                {"subcont", "lower case is no keyword", 0},
                {"AUTHFAIL", "", 0},
                {"SPAMFLAG", "", 0},
                {"DNSBL", "bl.example.org", 0}});
    EXPECT_EQ(Column(0),
              QStringList({"From e-mail Address / Domain", "Matches Known Spammer List",
                           "From user that is a number", "subcont", "Sender Failed Authentication",
                           "Marked as Spam by the Server", "Sending Host on DNS Blocklist"}));
    EXPECT_EQ(Column(1), QStringList({"spam.example", "N/A", "kept", "lower case is no keyword",
                                      "dmarc", "flag only", "bl.example.org"}));
    QStringList switches;
    for (int column = 2; column <= 8; ++column)
        switches << List().topLevelItem(0)->text(column);
    EXPECT_EQ(switches, QStringList({"Yes", "No", "Yes", "No", "Yes", "No", "3"}));
    EXPECT_EQ(List().topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(List().topLevelItem(1)->checkState(0), Qt::Unchecked);

    const std::string loaded = ReadFile("rules.ini");
    Window().PROCloadRuleList();
    EXPECT_EQ(ReadFile("rules.ini"), loaded);  // a refill writes nothing
    List().topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(rule_store::Load(1).Active);
    List().topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(rule_store::Load(2).Active);
}

TEST_F(RuleListTest, DeleteSelectsTheRowThatTookThePlaceOrTheNewLast) {
    const struct {
        int rules, deleted, selected;  // row positions; -1 for none
    } cases[] = {{3, 0, 0}, {3, 2, 1}, {1, 0, -1}};
    for (const auto& c : cases) {
        std::remove(rule_store::Path().c_str());
        for (int n = 0; n < c.rules; ++n)
            WriteRules({{"SUBCONT", "x", 0}});
        Select(c.deleted);
        DeleteAnsweringYes();
        EXPECT_EQ(List().topLevelItemCount(), c.rules - 1);
        EXPECT_EQ(List().indexOfTopLevelItem(List().currentItem()), c.selected);
    }
}

TEST_F(RuleListTest, HitsSortAsNumbersAndCommandsActOnTheRuleTheSortedRowShows) {
    WriteRules(
        {{"SUBCONT", "b", 9}, {"SUBCONT", "a", 10}, {"SUBCONT", "c", 100}, {"SUBCONT", "d", 0}});
    Window().lstVRulesColumnClick(8);
    const QStringList first = Column(8);
    Window().lstVRulesColumnClick(8);
    const QStringList second = Column(8);
    Window().lstVRulesColumnClick(1);
    const QStringList values = Column(1);
    // The direction belongs to the class: which click comes first depends on earlier tests.
    const QStringList up{"0", "9", "10", "100"}, down{"100", "10", "9", "0"};
    EXPECT_TRUE((first == down && second == up) || (first == up && second == down));
    EXPECT_EQ(values, first == down ? QStringList({"d", "c", "b", "a"})
                                    : QStringList({"a", "b", "c", "d"}));
    Window().PROCloadRuleList();
    EXPECT_EQ(Column(1), QStringList({"b", "a", "c", "d"}));  // a refill is in file order

    SortValuesDescending();
    Select(1);  // rule 3, "c"
    DeleteAnsweringYes();
    EXPECT_EQ(Column(1), QStringList({"b", "a", "d"}));  // refilled in file order
    SortValuesDescending();
    Select(0);  // rule 3 again, "d"
    ModalAction change([](QWidget& dialog) {
        dialog.findChild<QAbstractButton*>("optList")->click();
        dialog.findChild<QAbstractButton*>("chkReply")->click();  // its message is not there
        dialog.findChild<QAbstractButton*>("btnOK")->click();
    });
    Window().N4Click();
    EXPECT_TRUE(change.Done());
    const RuleRecord changed = rule_store::Load(3);
    EXPECT_EQ(changed.Criteria + "|" + changed.Value, "LIST|");  // LIST writes no value
    EXPECT_EQ(rule_store::Load(1).Criteria + rule_store::Load(2).Criteria, "SUBCONTSUBCONT");
}

// A script of the user's own stays active when the question is cancelled: the question
// names it, and the session ends without storing anything.
TEST_F(RuleListTest, CancellingTheInstallationLeavesTheServersOwnScriptActive) {
    ScriptedServer server;
    server.Send("\"SIEVE\" \"fileinto\"\r\nOK\r\n")
        .ReadLine()
        .Send("OK\r\n")
        .ReadLine()
        .Send("\"mine\" ACTIVE\r\nOK\r\n")
        .ReadLine()
        .Send("OK\r\n")
        .ReadUntilClosed();
    WriteAccount(1, {{"POPAddress", "127.0.0.1"},
                     {"POPUser", "sam"},
                     {"ClearPassword", "pw"},
                     {"POPSecurity", "NONE"},
                     {"SieveServer", server.Address()}});
    TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    QString question;
    ModalAnswerer answerer(
        ModalAnswerer::Answers{{"dlgSieveReport", "", [&](QWidget& dialog) {
                                    question = dialog.findChild<QLabel*>()->text();
                                    dialog.findChild<QAbstractButton*>("btnCancel")->click();
                                }}});
    Window().InstallSieveClick();
    EXPECT_TRUE(answerer.AllAnswered());
    EXPECT_TRUE(question.contains("\"mine\"")) << question.toStdString();
    ASSERT_TRUE(server.WaitFinished());
    ASSERT_EQ(server.Received().size(), 3u);
    EXPECT_EQ(server.Received()[1] + "|" + server.Received()[2], "LISTSCRIPTS|LOGOUT");
}

}  // namespace
}  // namespace sievo::testing
