#include <gtest/gtest.h>

#include <QDir>

#include "modal_answerer.h"
#include "temp_home.h"
#include "ui/rules/previous_rules.h"

namespace sievo::testing {
namespace {

struct MoveCase {
    const char* operation;
    bool answerYes;
    const char* rulesAfter;
    bool oldStays;
};

class PreviousRulesTest : public TempHomeTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(PreviousRulesTest, TakesOverTheOldRulesOnlyWhenTheUserAgrees) {
    const MoveCase& row = GetParam();
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", row.answerYes ? "Yes" : "No"}});
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf("old"))));
    WriteFile("old/sievo.ini", "[ProcedureCount]\r\nNumProcs=7\r\n");
    WriteFile("rules.ini", "[ProcedureCount]\r\nNumProcs=1\r\n");

    PROCMovePreviousRules(row.operation, PathOf("old/sievo.ini"), PathOf("rules.ini"));
    EXPECT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(ReadFile("rules.ini"), row.rulesAfter);
    EXPECT_EQ(ReadFile("old/sievo.ini") != "<missing>", row.oldStays);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, PreviousRulesTest,
    ::testing::Values(MoveCase{"Move", true, "[ProcedureCount]\r\nNumProcs=7\r\n", false},
                      MoveCase{"Move", false, "[ProcedureCount]\r\nNumProcs=1\r\n", true},
                      MoveCase{"Copy", true, "[ProcedureCount]\r\nNumProcs=7\r\n", true}));

using PreviousRulesFailureTest = TempHomeTest;

TEST_F(PreviousRulesFailureTest, AFailedCopyIsReportedNotPassedOff) {
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    WriteFile("sievo.ini", "[ProcedureCount]\r\nNumProcs=7\r\n");
    EXPECT_THROW(
        {
            try {
                PROCMovePreviousRules("Copy", PathOf("sievo.ini"), PathOf("missing/rules.ini"));
            } catch (const std::exception& error) {
                EXPECT_EQ(std::string(error.what()), "Cannot move file " + PathOf("sievo.ini"));
                throw;
            }
        },
        std::exception);
}

}  // namespace
}  // namespace sievo::testing
