#include "mail/message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "mail/mail_errors.h"
#include "temp_home.h"

namespace sievo {
namespace {

TmsAttItem Attachment(const std::string& fileName) {
    TmsAttItem item;
    item.SetFileName(fileName);
    return item;
}

std::string Encoded(TmsMessage& message) {
    std::ostringstream stream;
    message.SaveToStream(stream);
    return stream.str();
}

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

TEST(TmsCustomMessage, UuencodingKeepsTheStoredTypeAndSetAttachmentsSetsIt) {
    TmsMessage message;
    message.Attachments().Add(Attachment("x.pdf"));
    EXPECT_EQ(message.ContentType(), "application/pdf");
    message.SetEncoding(meUU);
    message.Attachments().Add(Attachment("y.pdf"));
    EXPECT_EQ(message.ContentType(), "application/pdf");
    TmsAttList list;
    list.Add(Attachment("a.pdf"));
    message.SetAttachments(list);
    EXPECT_EQ(message.ContentType(), "multipart/mixed");
    message.SetAttachments(TmsAttList());
    EXPECT_EQ(message.ContentType(), "text/plain");
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

TEST(TmsMessage, AssignCopiesEveryFieldDeeplyAndClearEmptiesTheContent) {
    TmsMessage source;
    source.Sender() = TmsMailAddress("s@x", "S");
    source.SetSubject("Sub");
    source.SetEncoding(meUU);
    source.SetCharSet(csISO8859);
    source.Body() = {"b"};
    source.Headers() = {"X-A: 1"};
    source.Attachments().Add(Attachment("a.pdf"));
    source.Recipients().Add("r@x", "");
    source.CC().Add("c@x", "");
    source.BCC().Add("b@x", "");
    source.SetPriority(ptHigh);
    source.SetReturnReceipt(true);

    TmsMessage copy;
    copy.Assign(source);
    const std::string written = Encoded(source);
    source.Attachments()[0].Data() = "changed";
    // The written text shows every field but the character set and the BCC.
    EXPECT_EQ(Encoded(copy), written);
    EXPECT_EQ(copy.CharSet(), csISO8859);
    EXPECT_EQ(copy.BCC().Count(), 1);

    copy.Clear();
    EXPECT_TRUE(copy.Body().empty());
    EXPECT_TRUE(copy.Attachments().Empty());
    EXPECT_EQ(copy.Sender(), TmsMailAddress());
    EXPECT_TRUE(copy.Headers().empty());
    EXPECT_EQ(copy.Subject(), "");
    EXPECT_EQ(copy.Encoding(), meMIME);
    EXPECT_EQ(copy.CharSet(), csUSASCII);
    EXPECT_EQ(copy.Recipients().Count() + copy.CC().Count() + copy.BCC().Count(), 0);
}

class MessageFileTest : public testing::TempHomeTest {};

TEST_F(MessageFileTest, DestructorDeletesTemporaryFiles) {
    WriteFile("spool.tmp", "x");
    {
        TmsMessage message;
        message.AddTempFile(PathOf("spool.tmp"));
        message.AddTempFile(PathOf("never-created.tmp"));
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf("spool.tmp")));
}

TEST_F(MessageFileTest, SaveAndLoadFile) {
    TmsMessage message;
    message.Sender() = TmsMailAddress("me@x", "Me");
    message.Recipients().Add("you@x", "You");
    message.SetSubject("Hello");
    message.Body() = {"line one", "line two"};
    message.SaveToFile(PathOf("reply.msg"));

    TmsMessage loaded;
    loaded.Body() = {"stale"};
    loaded.LoadFromFile(PathOf("reply.msg"));
    EXPECT_EQ(loaded.Subject(), "Hello");
    EXPECT_EQ(loaded.Body(), message.Body());
    EXPECT_EQ(loaded.Recipients()[0], TmsMailAddress("you@x", "You"));

    EXPECT_THROW(loaded.LoadFromFile(PathOf("missing.msg")), Exception);
    EXPECT_THROW(message.SaveToFile(PathOf("no/such/folder/x.msg")), Exception);
}

}  // namespace
}  // namespace sievo
