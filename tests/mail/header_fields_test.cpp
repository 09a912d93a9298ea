#include "mail/header_fields.h"

#include <gtest/gtest.h>

#include "mail/encoded_words.h"
#include "mail/mime_params.h"

namespace sievo {
namespace {

struct FieldCase {
    const char* label;
    std::vector<std::string> lines;
    const char* name;
    std::string expected;
};

class GetHeaderFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(GetHeaderFieldTest, ReadsValue) {
    EXPECT_EQ(GetHeaderField(GetParam().lines, GetParam().name), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetHeaderFieldTest,
    ::testing::Values(
        FieldCase{"Missing", {"From: a@b"}, "Subject", ""},
        FieldCase{"CaseInsensitive", {"SUBJECT: Hi"}, "subject", "Hi"},
        FieldCase{"NameWithColon", {"Subject: Hi"}, "Subject:", "Hi"},
        FieldCase{"FirstOfTwo", {"Subject: one", "Subject: two"}, "Subject", "one"},
        FieldCase{"NotAPrefixOfLongerName", {"Subject-X: no", "Subject: yes"}, "Subject", "yes"},
        FieldCase{
            "FoldedWithTab", {"Subject: Hello", "\tWorld", "To: x"}, "Subject", "Hello World"},
        FieldCase{"ContinuationWithoutBlank",
                  {"Subject: Hello", "World", "To: x"},
                  "Subject",
                  "Hello World"},
        FieldCase{"NoBlankAfterColonKeepsValue", {"Subject:Hello"}, "Subject", "Hello"},
        FieldCase{"TrimsControls", {"Subject: \t Hi \x01"}, "Subject", "Hi"},
        FieldCase{"EmptyLineEndsField", {"Subject: Hi", "", "body line"}, "Subject", "Hi"},
        FieldCase{"ColonLineEndsField", {"Subject: Hi", "X-Mailer: m"}, "Subject", "Hi"},
        FieldCase{
            "DecodesWords", {"Subject: =?iso-8859-1?Q?Hello_World?="}, "Subject", "Hello World"},
        FieldCase{"ContentTypeUndecoded",
                  {"Content-Type: text/plain; name=\"=?utf-8?Q?a?=\""},
                  "Content-Type",
                  "text/plain; name=\"=?utf-8?Q?a?=\""},
        FieldCase{"CutTo255Bytes",
                  {"Subject: " + std::string(300, 'x')},
                  "Subject",
                  std::string(255, 'x')},
        FieldCase{"LongContentTypeWhole",
                  {"Content-Type: " + std::string(300, 'y')},
                  "CONTENT-TYPE",
                  std::string(300, 'y')}),
    [](const auto& info) { return info.param.label; });

struct WordsCase {
    const char* label;
    std::string input;
    std::string expected;
};

class DecodeHeaderWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(DecodeHeaderWordsTest, Decodes) {
    EXPECT_EQ(DecodeHeaderWords(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeHeaderWordsTest,
    ::testing::Values(
        WordsCase{"Plain", "Hello my_file", "Hello my_file"},
        WordsCase{"QUnderscore", "=?us-ascii?Q?Hello_World?=", "Hello World"},
        WordsCase{"BWord", "=?us-ascii?B?SGVsbG8=?=", "Hello"},
        WordsCase{"LowerCaseLetter", "=?us-ascii?b?SGVsbG8=?=", "Hello"},
        WordsCase{"Latin1ToUtf8", "=?ISO-8859-1?Q?Caf=E9?=", "Caf\xC3\xA9"},
        WordsCase{"Utf8Kept", "=?UTF-8?B?Q2Fmw6k=?=", "Caf\xC3\xA9"},
        WordsCase{"UnknownCharsetKeepsBytes", "=?x-nonsense?Q?Caf=E9?=", "Caf\xE9"},
        WordsCase{"LanguageSuffix", "=?iso-8859-1*fr?Q?=E9?=", "\xC3\xA9"},
        WordsCase{"UnclosedKeptWhole", "Re: =?utf-8?Q?abc", "Re: =?utf-8?Q?abc"},
        WordsCase{"BareOpener", "a =? b", "a =? b"},
        WordsCase{"BlanksBetweenWordsDrop", "=?us-ascii?Q?a?= \t =?us-ascii?Q?b?=", "ab"},
        WordsCase{"TextAround", "Re: =?us-ascii?Q?x?= [spam]", "Re: x [spam]"},
        WordsCase{"UnderscoreOutsideWordKept", "a_b =?us-ascii?Q?c_d?=", "a_b c d"},
        WordsCase{"EncodedUnderscoreKept", "=?us-ascii?Q?a=5Fb?=", "a_b"},
        WordsCase{"TextBeginsWithEquals", "=?us-ascii?Q?=41B?=", "AB"},
        WordsCase{"BadQEscapeLeftAsIs", "=?utf-8?Q?a=ZZ?=", "=?utf-8?Q?a=ZZ?="},
        WordsCase{"TruncatedQEscapeLeftAsIs", "=?utf-8?Q?a=4?=", "=?utf-8?Q?a=4?="},
        WordsCase{"UnknownLetterLeftAsIs", "=?utf-8?X?abc?=", "=?utf-8?X?abc?="},
        WordsCase{"BadWordThenGoodWord", "=?a?B?!?= =?us-ascii?Q?ok?=", "=?a?B?!?= ok"},
        WordsCase{"DecodedTextNotDecodedAgain",
                  "=?us-ascii?Q?=3D=3Fx=3FQ=3Fy=3F=3D?=", "=?x?Q?y?="},
        WordsCase{"LineBreakBecomesBlank", "=?us-ascii?Q?a=0D=0ABcc:_x?=", "a  Bcc: x"},
        WordsCase{"Utf8SplitAcrossWords", "=?utf-8?Q?Caf=C3?= =?utf-8?Q?=A9?=", "Caf\xC3\xA9"},
        WordsCase{"Latin2SplitWordsConvertedTogether",
                  "=?iso-8859-2?Q?=B1?= =?iso-8859-2?Q?=B1?=", "\xC4\x85\xC4\x85"},
        WordsCase{"ResultCut255",
                  "=?us-ascii?Q?" + std::string(300, 'z') + "?=", std::string(255, 'z')},
        WordsCase{"CutNeverSplitsUtf8",
                  std::string(254, 'a') + "=?utf-8?Q?=C3=A9?=", std::string(254, 'a')}),
    [](const auto& info) { return info.param.label; });

TEST(GetHeaderAddressList, AppendsEveryToEntryAndKeepsQuotedCommas) {
    const std::vector<std::string> lines = {
        "From: x@y",  "To: \"Doe, John\" <john@doe.com>, jane@doe.com,", "  third@doe.com, , ",
        "Subject: s", "TO: =?us-ascii?Q?Four?= <four@doe.com>",          "To-Do: not an address",
    };
    std::vector<std::string> result = {"kept"};
    GetHeaderAddressList(lines, "TO", result);
    EXPECT_EQ(result,
              (std::vector<std::string>{"kept", "\"Doe, John\" <john@doe.com>", "jane@doe.com",
                                        "third@doe.com", "Four <four@doe.com>"}));
}

TEST(DeleteHeaderField, RemovesFirstFieldWithContinuations) {
    std::vector<std::string> lines = {"Subject: a", " b", "\tc", "To: x", "Subject: d"};
    DeleteHeaderField(lines, "subject");
    EXPECT_EQ(lines, (std::vector<std::string>{"To: x", "Subject: d"}));
    DeleteHeaderField(lines, "Missing");
    EXPECT_EQ(lines.size(), 2u);
}

TEST(TruncateAtBody, KeepsHeaderBlockOnly) {
    std::vector<std::string> lines = {"A: 1", "B: 2", "", "body", ""};
    TruncateAtBody(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"A: 1", "B: 2"}));
}

struct ParamCase {
    const char* label;
    const char* param;
    const char* value;
    const char* expected;
};

class GetHeaderParamTest : public ::testing::TestWithParam<ParamCase> {};

TEST_P(GetHeaderParamTest, Finds) {
    EXPECT_EQ(GetHeaderParam(GetParam().param, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetHeaderParamTest,
    ::testing::Values(
        ParamCase{"Quoted", "boundary", "multipart/mixed; boundary=\"12345678\"", "12345678"},
        ParamCase{"Unquoted", "boundary", "multipart/mixed; BOUNDARY=abc", "abc"},
        ParamCase{"UnquotedBeforeNext", "boundary", "multipart/mixed; boundary=abc;x=y", "abc"},
        ParamCase{"BlanksAroundEquals", "name", "text/plain; name = \"a b.txt\" ", "a b.txt"},
        ParamCase{"Absent", "name", "text/plain; charset=us-ascii", ""},
        ParamCase{"NotInsideOtherName", "name", "attachment; filename=\"f.txt\"", ""},
        ParamCase{"NotInsideValue", "name", "multipart/mixed; boundary=\"x;name=y\"", ""},
        ParamCase{"SecondOccurrence", "name", "a; rename=1; name=\"ok\"", "ok"},
        ParamCase{"UnclosedQuote", "name", "a; name=\"open", "open"},
        ParamCase{"EmptyValueAtEnd", "name", "a; name=", ""}),
    [](const auto& info) { return info.param.label; });

TEST(ContentTypeForFile, ByExtension) {
    EXPECT_EQ(ContentTypeForFile("/tmp/report.PDF"), "application/pdf");
    EXPECT_EQ(ContentTypeForFile("notes.txt"), "text/plain");
    EXPECT_EQ(ContentTypeForFile("README"), "application/octet-stream");
    EXPECT_EQ(ContentTypeForFile("dir.d/file"), "application/octet-stream");
    EXPECT_EQ(ContentTypeForFile("x.unknownext"), "application/octet-stream");
    // Found by fuzzing: this name crashed Qt's MIME database; only its extension counts.
    EXPECT_EQ(ContentTypeForFile(std::string("\xD0L\x85\xFE\x7F\0\0.d", 9)),
              ContentTypeForFile("plain.d"));
    EXPECT_EQ(ContentTypeForFile("a.p\xC3\xA9"), "application/octet-stream");
    EXPECT_EQ(ContentTypeForFile("a." + std::string(17, 'x')), "application/octet-stream");
}

}  // namespace
}  // namespace sievo
