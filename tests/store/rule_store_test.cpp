#include "store/rule_store.h"

#include <functional>

#include "config/errors.h"
#include "file_size_limit.h"
#include "temp_home.h"

namespace sievo {
namespace {

// Rule n with every key set and telling it apart: odd rules have every switch off its
// default, even ones on it.
RuleRecord Distinct(int n) {
    const std::string t = std::to_string(n);
    const bool odd = n % 2 == 1;
    return {"HEADER", "value " + t, !odd,         !odd,    odd,           !odd,    !odd,
            odd,      !odd,         "reply " + t, "r" + t, "report " + t, "p" + t, 10 * n};
}

// Stores the rules with every key, as the dialogs, the check box and the engine do.
void Store(std::initializer_list<RuleRecord> rules) {
    for (const RuleRecord& rule : rules) {
        const int n = rule_store::Append(rule);
        rule_store::SetActive(n, rule.Active);
        rule_store::AddHits({{n, rule.NumHits}});
    }
}

using RuleStoreTest = testing::TempHomeTest;

TEST_F(RuleStoreTest, MissingKeysTakeTheEnginesOrTheWindowsDefaults) {
    WriteFile("rules.ini", "[ProcedureCount]\r\nNumProcs=2\r\n[PROCEDURE2]\r\nCRITERIA=FROM\r\n");
    RuleRecord shown;
    shown.DeleteAction = shown.Reply = shown.Report = shown.SendtoRecycle = false;
    RuleRecord engineFrom, shownFrom = shown;
    engineFrom.Criteria = shownFrom.Criteria = "FROM";
    EXPECT_EQ(rule_store::Load(1), RuleRecord{});  // no section
    EXPECT_EQ(rule_store::Load(2), engineFrom);
    EXPECT_EQ(rule_store::Load(2, RuleDefaults::kShown), shownFrom);
    EXPECT_EQ(rule_store::LoadAll(RuleDefaults::kShown),
              (std::vector<RuleRecord>{shown, shownFrom}));
}

TEST_F(RuleStoreTest, AppendFollowsTheRulesShownInAFreshSection) {
    const std::pair<const char*, int> cases[] = {
        // file, number of the added rule
        {"[ProcedureCount]\r\nNumProcs=4\r\n[PROCEDURE1]\r\n[PROCEDURE2]\r\n", 3},
        {"[ProcedureCount]\r\nNumProcs=1\r\n[PROCEDURE1]\r\n"
         "[PROCEDURE2]\r\nActive=0\r\nNumHits=7\r\nStale=1\r\n",
         2},
    };
    for (const auto& [file, number] : cases) {
        SCOPED_TRACE(file);
        WriteFile("rules.ini", file);
        EXPECT_EQ(rule_store::Count(), number - 1);
        RuleRecord added = Distinct(1);
        EXPECT_EQ(rule_store::Append(added), number);
        EXPECT_EQ(rule_store::Count(), number);
        added.Active = true;  // neither is written: the new rule is active with no hits
        added.NumHits = 0;
        EXPECT_EQ(rule_store::Load(number), added);
        EXPECT_EQ(ReadFile("rules.ini").find("Stale"), std::string::npos);
    }
}

TEST_F(RuleStoreTest, ARefusedWriteLeavesTheFileSaveKeepsTheStateAndRemoveMovesTheLaterDown) {
    Store({Distinct(1), Distinct(2), Distinct(3), Distinct(4)});
    const std::string before = ReadFile("rules.ini");
    const std::map<int, int> oneHit{{1, 1}};
    const std::function<void()> writes[] = {
        [] { rule_store::Save(1, Distinct(5)); },
        [] { rule_store::Append(Distinct(5)); },
        [] { rule_store::Remove(1); },
        [] { rule_store::SetActive(1, true); },
        [&oneHit] { rule_store::AddHits(oneHit); },
    };
    for (const auto& write : writes) {
        const testing::FileSizeLimit fullDisk(0);
        EXPECT_THROW(write(), Exception);
        EXPECT_EQ(ReadFile("rules.ini"), before);
    }
    // What the dialogs write keeps the rule's state and its count.
    rule_store::Save(1, Distinct(2));
    RuleRecord changed = Distinct(2);
    changed.Active = Distinct(1).Active;
    changed.NumHits = Distinct(1).NumHits;
    EXPECT_EQ(rule_store::Load(1, RuleDefaults::kShown), changed);
    rule_store::Remove(2);
    EXPECT_EQ(rule_store::LoadAll(RuleDefaults::kEngine),
              (std::vector<RuleRecord>{changed, Distinct(3), Distinct(4)}));
    const std::string file = ReadFile("rules.ini");
    EXPECT_EQ(file.find("PROCEDURE4"), std::string::npos);
    EXPECT_NE(file.find("NumProcs=3"), std::string::npos);
}

}  // namespace
}  // namespace sievo
