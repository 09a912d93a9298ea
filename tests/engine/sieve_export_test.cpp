#include "engine/sieve_export.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_rules.h"

namespace sievo {
namespace {

using testing::Rule;

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The fragments that carry the program's matching, each with one the script must not hold; a
// mistake in any of them judges mail differently without the server saying a word.
TEST(SieveExportTest, EachCriterionMatchesAsTheProgramDoes) {
    const std::tuple<RuleRecord, const char*, const char*> cases[] = {
        {Rule({"SUBCONT", "a \"b\" \\c"}), R"("subject" "a \"b\" \\c")", R"("subject" "a "b)"},
        {Rule({"SUBCONT", "${x}"}), R"("subject" "${dollar}{x}")", R"("subject" "${x}")"},
        {Rule({"SUBCONT", ""}), "never hits", ":contains"},
        {Rule({"HEADER", "X-Spam-Flag: *YES?"}),
         R"(header :matches :comparator "i;ascii-casemap" "X-Spam-Flag" "\\*YES\\?*")", ""},
        {Rule({"HEADER", "X-Flag:"}), "exists \"X-Flag\"", ":matches"},
        {Rule({"HEADER", "casino"}), R"("x-originating-ip"] "casino")", ""},
    };
    for (const auto& [rule, expected, absent] : cases) {
        const std::string script = ExportSieve({{rule}, {}, {}, {}}, {}).text;
        EXPECT_TRUE(Holds(script, expected)) << expected << "\n" << script;
        EXPECT_FALSE(*absent && Holds(script, absent)) << absent << "\n" << script;
    }
}

TEST(SieveExportTest, WhatTheServerCannotDoIsReportedAndLeftOut) {
    RuleRecord off = Rule({"SUBCONT", "off"});
    off.Active = false;
    const std::vector<RuleRecord> rules = {Rule({"FROMNUM", ""}), off,
                                           Rule({"FROM", "x", true, true, true, "gone"}),
                                           Rule({"NEWKIND", "v"}), Rule({"LIST", ""})};
    const SieveScript script = ExportSieve({rules, {}, {"a@spam.test", "", "b@spam.test"}, {}},
                                           {.regex = false, .spammerLimit = 1});
    for (const char* absent : {"\"regex\"", "\"subject\" \"off\"", "vacation", "b@spam.test"})
        EXPECT_FALSE(Holds(script.text, absent)) << absent;
    const char* reasons[] = {"regex", "asks before deleting", "gone", "Rule 4 (NEWKIND)",
                             "1 are left out"};
    ASSERT_EQ(script.notExpressed.size(), std::size(reasons)) << script.text;
    for (std::size_t i = 0; i < std::size(reasons); ++i)
        EXPECT_TRUE(Holds(script.notExpressed[i], reasons[i])) << reasons[i];
}

}  // namespace
}  // namespace sievo
