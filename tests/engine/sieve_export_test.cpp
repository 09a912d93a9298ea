#include "engine/sieve_export.h"

#include <gtest/gtest.h>

#include "test_rules.h"

namespace sievo {
namespace {

using testing::Rule;

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct Fragment {
    RuleRecord rule;
    const char* expected;  // a fragment of the script
    const char* absent;    // a fragment it must not hold
};

// The fragments that carry the program's matching; a mistake in any of them judges mail
// differently without the server saying a word.
TEST(SieveExportTest, EachCriterionMatchesAsTheProgramDoes) {
    const Fragment cases[] = {
        {Rule({"SUBCONT", "a \"b\" \\c"}), R"("subject" "a \"b\" \\c")", R"("subject" "a "b)"},
        {Rule({"SUBCONT", "${x}"}), R"("subject" "${dollar}{x}")", R"("subject" "${x}")"},
        {Rule({"SUBCONT", ""}), "never hits", ":contains"},
        {Rule({"HEADER", "X-Spam-Flag: *YES?"}),
         R"(header :matches :comparator "i;ascii-casemap" "X-Spam-Flag" "\\*YES\\?*")", ""},
        {Rule({"HEADER", "X-Flag:"}), "exists \"X-Flag\"", ":matches"},
        {Rule({"HEADER", "casino"}), R"("x-originating-ip"] "casino")", ""},
    };
    for (const auto& c : cases) {
        const std::string script = ExportSieve({{c.rule}, {}, {}, {}}, {}).text;
        EXPECT_TRUE(Holds(script, c.expected)) << c.expected << "\n" << script;
        EXPECT_FALSE(*c.absent && Holds(script, c.absent)) << c.absent << "\n" << script;
    }
}

TEST(SieveExportTest, WhatTheServerCannotDoIsReportedAndLeftOut) {
    RuleRecord off = Rule({"SUBCONT", "off"});
    off.Active = false;
    RuleRecord reply = Rule({"FROM", "x", true, true, true, "gone", ""});
    SieveExportOptions options;
    options.regex = false;
    options.spammerLimit = 1;
    const std::vector<std::string> spammers = {"a@spam.test", "", "b@spam.test"};
    const SieveScript script = ExportSieve(
        {{Rule({"FROMNUM", ""}), off, reply, Rule({"NEWKIND", "v"}), Rule({"LIST", ""})},
         {},
         spammers,
         {}},
        options);
    EXPECT_FALSE(Holds(script.text, "\"regex\""));
    EXPECT_FALSE(Holds(script.text, "\"subject\" \"off\""));
    EXPECT_FALSE(Holds(script.text, "vacation"));
    EXPECT_FALSE(Holds(script.text, "b@spam.test"));
    ASSERT_EQ(script.notExpressed.size(), 5u) << script.text;
    EXPECT_TRUE(Holds(script.notExpressed[0], "regex"));
    EXPECT_TRUE(Holds(script.notExpressed[1], "asks before deleting"));
    EXPECT_TRUE(Holds(script.notExpressed[2], "gone"));
    EXPECT_TRUE(Holds(script.notExpressed[3], "Rule 4 (NEWKIND)"));
    EXPECT_TRUE(Holds(script.notExpressed[4], "1 are left out"));
}

}  // namespace
}  // namespace sievo
