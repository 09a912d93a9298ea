#include <gtest/gtest.h>

#include <QDir>

#include "config/errors.h"
#include "modal_answerer.h"
#include "temp_home.h"
#include "ui/rules/previous_rules.h"

namespace sievo::testing {
namespace {

using PreviousRulesTest = TempHomeTest;

TEST_F(PreviousRulesTest, TakesOverTheOldRulesOnlyWhenTheUserAgrees) {
    const struct {
        const char* operation;
        bool answerYes;
        const char* rulesAfter;
        bool oldStays;
    } cases[] = {{"Move", true, "[ProcedureCount]\r\nNumProcs=7\r\n", false},
                 {"Move", false, "[ProcedureCount]\r\nNumProcs=1\r\n", true},
                 {"Copy", true, "[ProcedureCount]\r\nNumProcs=7\r\n", true}};
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(PathOf("old"))));
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string(row.operation) + (row.answerYes ? " yes" : " no"));
        ModalAnswerer answerer(
            ModalAnswerer::Answers{{"dlgQuestion", row.answerYes ? "Yes" : "No"}});
        WriteFile("old/sievo.ini", "[ProcedureCount]\r\nNumProcs=7\r\n");
        WriteFile("rules.ini", "[ProcedureCount]\r\nNumProcs=1\r\n");
        PROCMovePreviousRules(row.operation, PathOf("old/sievo.ini"), PathOf("rules.ini"));
        EXPECT_TRUE(answerer.AllAnswered());
        EXPECT_EQ(ReadFile("rules.ini"), row.rulesAfter);
        EXPECT_EQ(ReadFile("old/sievo.ini") != "<missing>", row.oldStays);
    }
}

TEST_F(PreviousRulesTest, AFailedCopyIsReportedNotPassedOff) {
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    WriteFile("sievo.ini", "[ProcedureCount]\r\nNumProcs=7\r\n");
    try {
        PROCMovePreviousRules("Copy", PathOf("sievo.ini"), PathOf("missing/rules.ini"));
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot move file " + PathOf("sievo.ini"));
    }
}

}  // namespace
}  // namespace sievo::testing
