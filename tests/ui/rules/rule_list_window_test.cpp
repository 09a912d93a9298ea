#include <QAbstractButton>
#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>
#include <QWizard>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "modal_action.h"
#include "modal_answerer.h"
#include "store/rule_store.h"
#include "temp_home.h"
#include "ui/rules/rule_list_window.h"
#include "ui/shell/tray_menu.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

struct RuleKeys {
    const char* criteria;
    const char* value;
    int hits;
};

class RuleListTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        window_ = std::make_unique<TfrmList>(menu_, sounds_);
    }
    void TearDown() override {
        window_.reset();
        TempHomeTest::TearDown();
    }

    // Stores rules 1..n: odd ones active, the switches alternating from "Yes".
    static void WriteRules(std::initializer_list<RuleKeys> rules) {
        for (const RuleKeys& keys : rules) {
            RuleRecord rule;
            rule.Criteria = keys.criteria;
            rule.Value = keys.value;
            rule.Report = rule.SendtoRecycle = false;
            rule.Confirm = true;
            const int n = rule_store::Append(rule);
            rule_store::SetActive(n, n % 2 == 1);
            rule_store::AddHits({{n, keys.hits}});
        }
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
    std::vector<std::string> played_;
    RecordingSoundPlayer sounds_{played_};
    std::unique_ptr<TfrmList> window_;
};

TEST_F(RuleListTest, RowsShowEveryCriterionWithTheirValuesAndSwitches) {
    WriteRules({{"FROM", "spam.example", 3},
                {"LIST", "", 0},
                {"FROMNUM", "kept", 0},
                {"subcont", "lower case is no keyword", 0}});
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

TEST_F(RuleListTest, DeleteSelectsTheRowThatTookThePlaceOrTheNewLast) {
    const struct {
        int rules, deleted, selected;  // row positions; -1 for none
    } cases[] = {{3, 0, 0}, {3, 2, 1}, {1, 0, -1}};
    for (const auto& c : cases) {
        std::remove(rule_store::Path().c_str());
        for (int n = 0; n < c.rules; ++n)
            WriteRules({{"SUBCONT", "x", 0}});
        window_->PROCloadRuleList();
        Select(c.deleted);
        DeleteAnsweringYes();
        EXPECT_EQ(List().topLevelItemCount(), c.rules - 1);
        EXPECT_EQ(List().indexOfTopLevelItem(List().currentItem()), c.selected);
    }
}

TEST_F(RuleListTest, AfterSortingCommandsActOnTheRuleTheRowShows) {
    WriteRules(
        {{"SUBCONT", "a", 0}, {"SUBCONT", "b", 0}, {"SUBCONT", "c", 0}, {"SUBCONT", "d", 0}});
    window_->PROCloadRuleList();
    SortValuesDescending();
    Select(1);  // rule 3
    DeleteAnsweringYes();
    EXPECT_EQ(rule_store::Load(3).Value, "d");
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
    const RuleRecord changed = rule_store::Load(3);
    EXPECT_EQ(changed.Criteria, "LIST");
    EXPECT_EQ(changed.Value, "");  // a criterion without a value writes none
    EXPECT_FALSE(changed.Active);  // as the former rule 4 had it
    EXPECT_EQ(rule_store::Load(1).Criteria + rule_store::Load(2).Criteria, "SUBCONTSUBCONT");
}

TEST_F(RuleListTest, HitsSortAsNumbersAndDirectionsAlternateAcrossColumns) {
    WriteRules({{"SUBCONT", "b", 9}, {"SUBCONT", "a", 10}, {"SUBCONT", "c", 100}});
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
    WriteRules({{"SUBCONT", "a", 0}, {"SUBCONT", "b", 0}});
    window_->PROCloadRuleList();
    const std::string loaded = ReadFile("rules.ini");
    window_->PROCloadRuleList();
    EXPECT_EQ(ReadFile("rules.ini"), loaded);

    List().topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(rule_store::Load(1).Active);
    List().topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(rule_store::Load(2).Active);
}

}  // namespace
}  // namespace sievo::testing
