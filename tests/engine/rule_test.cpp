#include "engine/rule.h"

#include "config/ini_file.h"
#include "temp_home.h"

namespace sievo {
namespace {

class RuleTest : public testing::TempHomeTest {
protected:
    TIniFile Ini() const { return TIniFile(RulesPath()); }
};

TEST_F(RuleTest, ASectionWithOnlyCriteriaAndValueTakesTheEngineDefaults) {
    Ini().WriteString("PROCEDURE1", "Criteria", "SUBCONT");
    Ini().WriteString("PROCEDURE1", "Value", "free");
    const TSievoRule rule(1);
    EXPECT_EQ(rule.Criteria, "SUBCONT");
    EXPECT_EQ(rule.Value, "free");
    EXPECT_TRUE(rule.Active);
    EXPECT_TRUE(rule.DeleteAction);
    EXPECT_TRUE(rule.Reply);
    EXPECT_TRUE(rule.Report);
    EXPECT_TRUE(rule.SendtoRecycle);
    EXPECT_FALSE(rule.Confirm);
    EXPECT_FALSE(rule.Beep);
    EXPECT_EQ(rule.Replyname + rule.ReplyFile + rule.Reportname + rule.ReportFile, "");
    EXPECT_EQ(rule.NumHits, 0);
    EXPECT_EQ(rule.Index, 1);
}

TEST_F(RuleTest, BooleansFollowTheProfileRules) {
    Ini().WriteString("PROCEDURE2", "Active", "yes");
    Ini().WriteString("PROCEDURE2", "DeleteAction", "2");
    Ini().WriteString("PROCEDURE2", "Reply", "0x0");
    Ini().WriteString("PROCEDURE3", "Active", "0x0");
    EXPECT_TRUE(TSievoRule(2).Active);
    EXPECT_TRUE(TSievoRule(2).DeleteAction);
    EXPECT_FALSE(TSievoRule(2).Reply);
    EXPECT_FALSE(TSievoRule(3).Active);
    EXPECT_EQ(TSievoRule(4).Criteria, "");  // missing section: defaults, inert
}

TEST_F(RuleTest, RuleCountIsOneSectionWhateverItsSpelling) {
    EXPECT_EQ(RuleCount(), 0);
    Ini().WriteInteger("ProcedureCount", "NumProcs", 2);
    EXPECT_EQ(RuleCount(), 2);
}

TEST_F(RuleTest, HitsAreAddedToTheCountsInTheFile) {
    Ini().WriteString("PROCEDURE1", "Criteria", "FROM");
    const TSievoRule loaded(1);
    HitTally tally;
    tally.Count(1);
    tally.Flush();
    tally.Count(1);
    tally.Count(3);
    tally.Flush();
    tally.Flush();  // nothing left to add
    EXPECT_EQ(Ini().ReadInteger("PROCEDURE1", "NumHits", 0), 2);
    EXPECT_EQ(Ini().ReadInteger("PROCEDURE3", "NumHits", 0), 1);
    EXPECT_EQ(loaded.NumHits, 0);  // the record keeps what it was loaded with
    EXPECT_EQ(TSievoRule(1).NumHits, 2);
    EXPECT_EQ(Ini().ReadString("PROCEDURE1", "Criteria", ""), "FROM");
}

}  // namespace
}  // namespace sievo
