#include <gtest/gtest.h>

#include <QRegularExpression>

#include "config/text.h"
#include "mail/message.h"
#include "message_text.h"

namespace sievo {
namespace {

constexpr auto& Crlf = JoinLinesCrLf;

using testing::Files;
using testing::MessageFrom;
using testing::TextOf;

// Boundaries are random runs of eight digits 0-8; the rest of the text must not be.
std::string WithoutBoundaries(const std::string& text) {
    // Qt's expressions, not std::regex: GCC 12 refuses the latter under the sanitizers.
    static const QRegularExpression boundary("(?<![0-9])[0-8]{8}(?![0-9])");
    return QString::fromLatin1(text).replace(boundary, "BOUNDARY").toLatin1().toStdString();
}

TmsAttItem Attachment(const std::string& name, const std::string& data) {
    TmsAttItem item;
    item.SetFileName(name);
    item.Data() = data;
    return item;
}

void BasicHeaders(TmsMessage& message) {
    message.Sender() = TmsMailAddress("me@here.org", "Me");
    message.Recipients().Add("you@there.org", "You");
    message.SetSubject("Hello");
}

TEST(Encoder, PlainMessageExactly) {
    TmsMessage message;
    BasicHeaders(message);
    message.Body() = {"First line", ".", ".dotted", ""};
    EXPECT_EQ(
        TextOf(message),
        Crlf({"From:     Me <me@here.org>", "To:       You <you@there.org>", "Subject:  Hello",
              "Mime-Version: 1.0", "Content-Type: text/plain; charset=\"us-ascii\"",
              "Content-Transfer-Encoding: 7bit", "", "First line", "..", ".dotted", ""}));
    EXPECT_EQ(message.Body()[1], "..");
}

TEST(Encoder, HeaderBlockFields) {
    TmsMessage message;
    message.Sender() = TmsMailAddress("me@here.org", "");
    message.Recipients().Add("a@x", "J. Doe");
    message.Recipients().Add("b@x", "\"Q.\" Quoted");
    message.Recipients().Add("c@x", "Plain");
    message.CC().Add("d@x", "D");
    message.BCC().Add("hidden@x", "H");
    message.SetReturnReceipt(true);
    message.SetPriority(ptLow);
    // Only the first field of each name the encoder writes itself gives way.
    message.Headers() = {"From: old@x",           "Subject: old",      " folded old",
                         "Date: Mon, 1 Jan 2024", "Message-ID: <1@x>", "Content-Type: text/html",
                         "X-Evil: a\r\nBcc: e@x", "X-Priority: 1",     "X-Priority: 2"};
    message.SetSubject("New\r\nBcc: evil@x");
    message.Body() = {"b"};
    const std::string text = TextOf(message);
    EXPECT_EQ(text.substr(0, text.find("Content-Type:")),
              Crlf({"From:      <me@here.org>", "To:       \"J. Doe\" <a@x>,",
                    "          \"Q.\" Quoted <b@x>,", "          Plain <c@x>", "CC:       D <d@x>",
                    "Return-Receipt-To: <me@here.org>", "X-Priority: 5", "Date: Mon, 1 Jan 2024",
                    "Message-ID: <1@x>", "X-Evil: a  Bcc: e@x", "X-Priority: 2",
                    "Subject:  New  Bcc: evil@x", "Mime-Version: 1.0"}));
    EXPECT_EQ(text.find("hidden"), std::string::npos);
}

TEST(Encoder, Latin1AnnouncesQuotedPrintable) {
    TmsMessage message;
    BasicHeaders(message);
    message.SetCharSet(csISO8859);
    message.Body() = {"Caf\xE9 = ok"};
    const std::string text = TextOf(message);
    EXPECT_NE(text.find("Content-Type: text/plain; charset=\"iso-8859-1\"\r\n"
                        "Content-Transfer-Encoding: quoted-printable\r\n\r\nCaf=E9 =3D ok\r\n"),
              std::string::npos);
}

struct RoundTripCase {
    const char* label;
    std::vector<std::string> body;
    std::vector<TmsAttItem> attachments;
    TMsgEncoding encoding;
};

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

std::string BinaryData() {
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>((i * 37) & 0xFF);
    return bytes;
}

TEST_P(RoundTripTest, DecodesWhatWasEncoded) {
    TmsMessage message;
    BasicHeaders(message);
    message.CC().Add("cc@x", "Cee");
    message.SetPriority(ptHigh);
    message.Body() = GetParam().body;
    message.SetEncoding(GetParam().encoding);
    for (const auto& item : GetParam().attachments)
        message.Attachments().Add(item);
    const std::string text = TextOf(message);

    const auto decoded = MessageFrom(text);
    EXPECT_EQ(decoded->Body(), message.Body());
    EXPECT_EQ(Files(*decoded), Files(message)) << text;
    // What is read back is written again byte for byte.
    EXPECT_EQ(WithoutBoundaries(TextOf(*decoded)), WithoutBoundaries(text));
}

TmsAttItem Alternative(int index, const std::string& type, const std::string& data) {
    TmsAttItem item = Attachment("_alt." + std::to_string(index), data);
    item.SetContentType(type);
    item.SetEncoding(TAttEncoding::QuotedPrintable);
    return item;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"PlainOnly", {"one", "", "three"}, {}, meMIME},
        RoundTripCase{"MixedEveryEncoding",
                      {"Body text", std::string(300, 'L')},
                      {Attachment("notes.txt", "Caf\xE9 line\r\n= sign\r\n"),
                       Attachment("data.bin", BinaryData()),
                       Attachment("mail.eml", "Subject: inner\r\n\r\ntext\r\n"),
                       Attachment("last.pdf", "%PDF-tail")},
                      meMIME},
        RoundTripCase{"OnlyAttachments",
                      {},
                      {Attachment("a.pdf", BinaryData()), Attachment("b.txt", "b\r\n")},
                      meMIME},
        RoundTripCase{"SingleAttachment", {}, {Attachment("a.pdf", BinaryData())}, meMIME},
        RoundTripCase{"SingleTextAttachment", {}, {Attachment("notes.txt", "a = b\r\n")}, meMIME},
        RoundTripCase{"AlternativeMessage",
                      {"plain version"},
                      {Alternative(0, "text/html", "<p>html</p>\r\n"),
                       Alternative(1, "text/enriched", "rich\r\n")},
                      meMIME},
        RoundTripCase{"AlternativeGroupThenFile",
                      {"plain version"},
                      {Alternative(0, "text/html", "<p>html</p>\r\n"),
                       Alternative(1, "text/enriched", "rich\r\n"), Attachment("a.pdf", "%PDF")},
                      meMIME},
        RoundTripCase{"Uuencoded",
                      {"See attached", ".", "x"},
                      {Attachment("data.bin", BinaryData()), Attachment("e.bin", "")},
                      meUU}),
    [](const auto& info) { return info.param.label; });

TEST(Encoder, HtmlBodyFileIsWrittenAsHtml) {
    TmsMessage message;
    BasicHeaders(message);
    message.Attachments().Add(Attachment("_htmbody.htm", "<p>x</p>\r\n"));
    const std::string text = TextOf(message);
    EXPECT_NE(
        text.find("Content-Type: text/html\r\nContent-Transfer-Encoding: Quoted-Printable\r\n\r\n"
                  "<p>x</p>\r\n"),
        std::string::npos);
    EXPECT_EQ(text.find("Content-Disposition"), std::string::npos);
    // Read back it is an HTML body, and written again the same.
    const auto decoded = MessageFrom(text);
    EXPECT_EQ(decoded->Body(), (std::vector<std::string>{"<p>x</p>"}));
    EXPECT_NE(TextOf(*decoded).find("Content-Type: text/html; charset="), std::string::npos);
}

}  // namespace
}  // namespace sievo
