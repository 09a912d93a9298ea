#include "mail/message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/mail_errors.h"
#include "message_text.h"
#include "temp_home.h"

namespace sievo {
namespace {

TmsAttItem Attachment(const std::string& fileName) {
    TmsAttItem item;
    item.SetFileName(fileName);
    return item;
}

using testing::TextOf;

TEST(TmsAttItem, FileNameChoosesTypeAndEncoding) {
    EXPECT_EQ(Attachment("a.txt").Encoding(), TAttEncoding::QuotedPrintable);
    EXPECT_EQ(Attachment("a.eml").Encoding(), TAttEncoding::SevenBit);
    EXPECT_EQ(Attachment("a.pdf").Encoding(), TAttEncoding::Base64);
    EXPECT_EQ(Attachment("folder/a.pdf").ContentType(), "application/pdf");
    EXPECT_EQ(Attachment("folder/a.pdf").FileNamePart(), "a.pdf");
}

struct TypeCase {
    const char* label;
    std::vector<std::string> body;
    std::vector<std::string> files;
    std::string stored;
    std::string expected;
};

class ContentTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ContentTypeTest, Computes) {
    TmsMessage message;
    message.Body() = GetParam().body;
    for (const auto& file : GetParam().files)
        message.Attachments().Add(Attachment(file));
    message.SetContentType(GetParam().stored);
    EXPECT_EQ(message.ContentType(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContentTypeTest,
    ::testing::Values(
        TypeCase{"Empty", {}, {}, "", "text/plain"},
        TypeCase{"AllAlternative", {"b"}, {"_alt.0", "_ALT.1"}, "", "multipart/alternative"},
        TypeCase{"OneAlternativeOfTwo", {}, {"_alt.0", "x.pdf"}, "", "multipart/mixed"},
        TypeCase{"RtfBody", {}, {"_rtfbody.rtf"}, "", "text/rtf"},
        TypeCase{"HtmlBody", {}, {"dir/_HtmBody.htm"}, "", "text/html"},
        TypeCase{"OneFileNoBody", {}, {"x.pdf"}, "", "application/pdf"},
        TypeCase{"TwoFilesNoBody", {}, {"x.pdf", "y.pdf"}, "", "multipart/mixed"},
        TypeCase{"BodyAndFile", {"b"}, {"x.pdf"}, "", "multipart/mixed"},
        TypeCase{"BodyStoredType", {"b"}, {}, "TEXT/HTML", "text/html"},
        TypeCase{"HtmlFileWithBody", {"b"}, {"_htmbody.htm"}, "", "multipart/mixed"}),
    [](const auto& info) { return info.param.label; });

TEST(TmsCustomMessage, UuencodingKeepsTheStoredType) {
    TmsMessage message;
    message.Attachments().Add(Attachment("x.pdf"));
    EXPECT_EQ(message.ContentType(), "application/pdf");
    message.SetEncoding(meUU);
    message.Attachments().Add(Attachment("y.pdf"));
    EXPECT_EQ(message.ContentType(), "application/pdf");
}

TEST(TmsMessage, CheckRequiredNamesWhatIsMissing) {
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;
    TmsMessage message;
    EXPECT_THAT([&] { message.CheckRequired(); },
                ThrowsMessage<EMessageError>(StrEq("The address of sender is required")));
    message.Sender().SetAddress("me@here");
    message.Recipients().Add("", "Nobody");
    EXPECT_THAT(
        [&] { message.CheckRequired(); },
        ThrowsMessage<EMessageError>(StrEq("At least one Recipient, CC or BCC must be entered")));
    message.BCC().Add("hidden@there", "");
    EXPECT_NO_THROW(message.CheckRequired());
}

TEST(TmsMessage, ApplyHeadersFillsFields) {
    TmsMessage message;
    message.SetSubject("old");
    const std::vector<std::string> lines = {
        "From: \"Sender, Esq.\" <s@x.org>", "To: a@x, \"B, b\" <b@x>",
        "Cc: <c@x>, broken <entry",         "X-Priority: 5",
        "Return-Receipt-To: s@x.org",
    };
    message.ApplyHeaders(lines);
    EXPECT_EQ(message.Sender(), TmsMailAddress("s@x.org", "Sender, Esq."));
    ASSERT_EQ(message.Recipients().Count(), 2);
    EXPECT_EQ(message.Recipients()[1], TmsMailAddress("b@x", "B, b"));
    ASSERT_EQ(message.CC().Count(), 2);
    EXPECT_EQ(message.CC()[1].Address(), "broken <entry");
    EXPECT_EQ(message.Subject(), "old");  // an absent Subject leaves the old one
    EXPECT_EQ(message.Priority(), ptLow);
    EXPECT_TRUE(message.ReturnReceipt());
    EXPECT_EQ(message.Headers(), lines);

    TmsMessage malformed;
    EXPECT_THROW(malformed.ApplyHeaders({"From: Joe <joe@x", "To: a@b"}), Exception);
    EXPECT_EQ(malformed.Recipients().Count(), 0);
}

TEST(TmsMessage, PriorityMustBeExact) {
    for (const auto& [value, expected] : std::vector<std::pair<std::string, TPriority>>{
             {"1", ptHigh}, {"5", ptLow}, {"1 (Highest)", ptNormal}, {"3", ptNormal}}) {
        TmsMessage message;
        message.ApplyHeaders({"From: a@b", "X-Priority: " + value});
        EXPECT_EQ(message.Priority(), expected) << value;
    }
}

class MessageFileTest : public testing::TempHomeTest {};

TEST_F(MessageFileTest, LoadFileReplacesTheContent) {
    WriteFile("reply.msg", "To: You <you@x>\r\nSubject: Hello\r\n\r\nline one\r\nline two\r\n");
    TmsMessage loaded;
    loaded.Body() = {"stale"};
    loaded.LoadFromFile(PathOf("reply.msg"));
    EXPECT_EQ(loaded.Subject(), "Hello");
    EXPECT_EQ(loaded.Body(), (std::vector<std::string>{"line one", "line two"}));
    EXPECT_EQ(loaded.Recipients()[0], TmsMailAddress("you@x", "You"));
    EXPECT_THROW(loaded.LoadFromFile(PathOf("missing.msg")), Exception);
}

}  // namespace
}  // namespace sievo
