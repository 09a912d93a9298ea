#include <QAbstractButton>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>
#include <algorithm>
#include <functional>

#include "config/ini_file.h"
#include "modal_action.h"
#include "modal_answerer.h"
#include "temp_home.h"
#include "ui/rules/rule_list_window.h"
#include "ui/shell/tray_menu.h"

namespace sievo::testing {
namespace {

struct RuleKeys {
    const char* criteria;
    const char* value;
    const char* hits;
};

class RuleListTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        window_ = std::make_unique<TfrmList>(menu_);
    }
    void TearDown() override {
        window_.reset();
        TempHomeTest::TearDown();
    }

    // Writes rules 1..n with every key, each value telling its rule apart.
    void WriteRules(std::initializer_list<RuleKeys> rules) const {
        std::string text = "[ProcedureCount]\r\nNumProcs=" + std::to_string(rules.size()) + "\r\n";
        int n = 0;
        for (const RuleKeys& rule : rules) {
            const std::string tag = std::to_string(++n);
            text += "[PROCEDURE" + tag + "]\r\nCriteria=" + rule.criteria +
                    "\r\nValue=" + rule.value + "\r\nActive=" + (n % 2 ? "1" : "0") +
                    "\r\nDeleteAction=1\r\n" +
                    "Beep=0\r\nReply=1\r\nReport=0\r\nConfirm=1\r\nSendtoRecycle=0\r\n" +
                    "Replyname=reply " + tag + "\r\nReplyFile=r" + tag + "\r\nReportname=report " +
                    tag + "\r\nReportFile=p" + tag + "\r\nNumHits=" + rule.hits + "\r\n";
        }
        WriteFile("rules.ini", text);
    }
    std::string Key(int rule, const char* key) const {
        return TIniFile(PathOf("rules.ini"))
            .ReadString("PROCEDURE" + std::to_string(rule), key, "<none>");
    }
    QTreeWidget& List() { return *window_->findChild<QTreeWidget*>("lstVRules"); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List().topLevelItemCount(); ++row)
            texts << List().topLevelItem(row)->text(column);
        return texts;
    }
    // The direction of the next sort belongs to the class, so it takes one or two clicks.
    void SortValuesDescending() {
        for (int click = 0; click < 2; ++click) {
            window_->lstVRulesColumnClick(1);
            QStringList sorted = Column(1);
            std::sort(sorted.begin(), sorted.end(), std::greater<>());
            if (Column(1) == sorted)
                return;
        }
        ADD_FAILURE() << "no descending sort";
    }
    void Select(int row) { List().setCurrentItem(List().topLevelItem(row)); }
    void DeleteAnsweringYes() {
        ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
        window_->D1Click();
        EXPECT_TRUE(answerer.AllAnswered());
    }

    TrayMenu menu_;
    std::unique_ptr<TfrmList> window_;
};

TEST_F(RuleListTest, RowsShowEveryCriterionWithTheirValuesAndSwitches) {
    WriteRules({{"FROM", "spam.example", "3"},
                {"LIST", "", "0"},
                {"FROMNUM", "kept", "0"},
                {"subcont", "lower case is no keyword", "0"}});
    window_->PROCloadRuleList();
    EXPECT_EQ(Column(0), QStringList({"From e-mail Address / Domain", "Matches Known Spammer List",
                                      "From user that is a number", "subcont"}));
    EXPECT_EQ(Column(1), QStringList({"spam.example", "N/A", "kept", "lower case is no keyword"}));
    const QTreeWidgetItem* first = List().topLevelItem(0);
    QStringList switches;
    for (int column = 2; column <= 8; ++column)
        switches << first->text(column);
    EXPECT_EQ(switches, QStringList({"Yes", "No", "Yes", "No", "Yes", "No", "3"}));
    EXPECT_EQ(first->checkState(0), Qt::Checked);
    EXPECT_EQ(List().topLevelItem(1)->checkState(0), Qt::Unchecked);
}

TEST_F(RuleListTest, DeletingRuleTwoOfFourMovesTheLaterRulesUpWithEveryKey) {
    WriteRules({{"FROM", "one", "1"},
                {"HEADER", "two", "2"},
                {"SUBCONT", "three", "3"},
                {"LIST", "four", "4"}});
    const std::string before = ReadFile("rules.ini");
    window_->PROCloadRuleList();
    Select(1);
    DeleteAnsweringYes();

    EXPECT_EQ(TIniFile(PathOf("rules.ini")).ReadString("ProcedureCount", "NumProcs", ""), "3");
    EXPECT_EQ(Key(4, "Criteria"), "<none>");
    const char* keys[] = {"Criteria",  "Value",      "Active",     "DeleteAction",  "Beep",
                          "Reply",     "Report",     "Confirm",    "SendtoRecycle", "Replyname",
                          "ReplyFile", "Reportname", "ReportFile", "NumHits"};
    WriteFile("before.ini", before);
    for (const auto& [now, was] : {std::pair{1, 1}, {2, 3}, {3, 4}}) {
        for (const char* key : keys) {
            EXPECT_EQ(Key(now, key), TIniFile(PathOf("before.ini"))
                                         .ReadString("PROCEDURE" + std::to_string(was), key, "-"))
                << "rule " << now << " key " << key;
        }
    }
    EXPECT_EQ(Column(1), QStringList({"one", "three", "four"}));
    EXPECT_EQ(List().currentItem(), List().topLevelItem(1));
}

struct ReselectCase {
    int rules;
    int deleted;   // row position
    int selected;  // row position afterwards; -1 for none
};

class RuleListReselectTest : public RuleListTest,
                             public ::testing::WithParamInterface<ReselectCase> {};

TEST_P(RuleListReselectTest, DeleteSelectsTheRowThatTookThePlaceOrTheNewLast) {
    const ReselectCase& row = GetParam();
    const RuleKeys rule{"SUBCONT", "x", "0"};
    if (row.rules == 1)
        WriteRules({rule});
    else
        WriteRules({rule, rule, rule});
    window_->PROCloadRuleList();
    Select(row.deleted);
    DeleteAnsweringYes();
    EXPECT_EQ(List().topLevelItemCount(), row.rules - 1);
    EXPECT_EQ(List().indexOfTopLevelItem(List().currentItem()), row.selected);
    EXPECT_EQ(TIniFile(PathOf("rules.ini")).ReadInteger("PROCEDURECOUNT", "NumProcs", -1),
              row.rules - 1);
}

INSTANTIATE_TEST_SUITE_P(Positions, RuleListReselectTest,
                         ::testing::Values(ReselectCase{3, 0, 0}, ReselectCase{3, 2, 1},
                                           ReselectCase{1, 0, -1}));

TEST_F(RuleListTest, AfterSortingCommandsActOnTheRuleTheRowShows) {
    WriteRules({{"SUBCONT", "a", "0"},
                {"SUBCONT", "b", "0"},
                {"SUBCONT", "c", "0"},
                {"SUBCONT", "d", "0"}});
    window_->PROCloadRuleList();
    SortValuesDescending();
    Select(1);  // rule 3
    DeleteAnsweringYes();
    EXPECT_EQ(Key(3, "Value"), "d");
    EXPECT_EQ(Column(1), QStringList({"a", "b", "d"}));

    SortValuesDescending();
    Select(0);  // rule 3 again, "d"
    ModalAction change([](QWidget& dialog) {
        dialog.findChild<QAbstractButton*>("optList")->click();
        dialog.findChild<QAbstractButton*>("chkReply")->click();  // its message is not there
        dialog.findChild<QAbstractButton*>("btnOK")->click();
    });
    window_->N4Click();
    EXPECT_TRUE(change.Done());
    EXPECT_EQ(Key(3, "Criteria"), "LIST");
    EXPECT_EQ(Key(3, "Value"), "");  // a criterion without a value writes none
    EXPECT_EQ(Key(3, "NumHits"), "0");
    EXPECT_EQ(Key(3, "Active"), "0");  // as the former rule 4 had it
    EXPECT_EQ(Key(1, "Criteria") + Key(2, "Criteria"), "SUBCONTSUBCONT");
}

TEST_F(RuleListTest, HitsSortAsNumbersAndDirectionsAlternateAcrossColumns) {
    WriteRules({{"SUBCONT", "b", "9"}, {"SUBCONT", "a", "10"}, {"SUBCONT", "c", "100"}});
    window_->PROCloadRuleList();
    window_->lstVRulesColumnClick(8);
    const QStringList descending = Column(8);
    window_->lstVRulesColumnClick(8);
    const QStringList ascending = Column(8);
    window_->lstVRulesColumnClick(1);
    const QStringList valueDescending = Column(1);
    window_->PROCloadRuleList();
    // The direction belongs to the class: which click comes first depends on earlier tests.
    const QStringList up{"9", "10", "100"}, down{"100", "10", "9"};
    EXPECT_TRUE((descending == down && ascending == up) || (descending == up && ascending == down));
    EXPECT_EQ(valueDescending,
              descending == down ? QStringList({"c", "b", "a"}) : QStringList({"a", "b", "c"}));
    EXPECT_EQ(Column(1), QStringList({"b", "a", "c"}));  // a refill is in file order
}

TEST_F(RuleListTest, UntickingWritesActiveAtOnceAndARefillWritesNothing) {
    WriteRules({{"SUBCONT", "a", "0"}, {"SUBCONT", "b", "0"}});
    window_->PROCloadRuleList();
    const std::string loaded = ReadFile("rules.ini");
    window_->PROCloadRuleList();
    EXPECT_EQ(ReadFile("rules.ini"), loaded);

    List().topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(Key(1, "Active"), "0");
    List().topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(Key(2, "Active"), "1");
}

}  // namespace
}  // namespace sievo::testing
