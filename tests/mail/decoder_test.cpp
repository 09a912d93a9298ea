#include <gtest/gtest.h>

#include <sstream>

#include "config/errors.h"
#include "config/text.h"
#include "mail/line_stream.h"
#include "mail/message.h"
#include "mail/mime_params.h"
#include "message_text.h"

namespace sievo {
namespace {

constexpr auto& Crlf = JoinLinesCrLf;

using testing::Files;
using testing::MessageFrom;

void ExpectErrorForm(const TmsMessage& message, const std::string& text, const char* error) {
    const auto& body = message.Body();
    ASSERT_GE(body.size(), 3u);
    EXPECT_EQ(body[body.size() - 3],
              "The following error has been occured while processing the message:");
    EXPECT_EQ(body[body.size() - 2], error);
    EXPECT_EQ(body.back(), "The original message will be stored as an attachment");
    ASSERT_GE(message.Attachments().Count(), 1);
    EXPECT_EQ(Files(message).back(), "original.eml | message/rfc822 | 7 bit | " + text);
}

TEST(TLineStream, SplitsAtEveryBreakAcrossBlocks) {
    const std::string longLine(64 * 1024 - 1,
                               'a');  // its CR ends one block, the LF starts the next
    std::istringstream stream(longLine + "\r\nb\rc\n\nlast");
    TLineStream reader(stream);
    for (const std::string& expected :
         {longLine, std::string("b"), std::string("c"), std::string(), std::string("last")}) {
        EXPECT_EQ(reader.ReadLine(), expected);
        EXPECT_FALSE(reader.Eof());
    }
    EXPECT_EQ(reader.ReadLine(), TLineStream::kEndSentinel);
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), TLineStream::kEndSentinel);
    reader.Reset();
    EXPECT_EQ(reader.ReadLine(), longLine);
}

TEST(Decoder, SinglePartQuotedPrintableLongParagraph) {
    const std::string paragraph(30000, 'q');
    std::vector<std::string> lines = {"From: a@b", "MIME-Version: 1.0",
                                      "Content-Type: text/html; charset=iso-8859-1",
                                      "Content-Transfer-Encoding: Quoted-Printable", ""};
    for (std::size_t at = 0; at < paragraph.size(); at += 70)
        lines.push_back(paragraph.substr(at, 70) + "=");
    lines.insert(lines.end(), {"", "Caf=E9"});
    const auto message = MessageFrom(Crlf(lines));
    EXPECT_EQ(message->Body(), (std::vector<std::string>{paragraph, "Caf\xE9"}));
    EXPECT_EQ(message->CharSet(), csISO8859);
    EXPECT_EQ(message->ContentType(), "text/html");
}

TEST(Decoder, SinglePartAttachmentNames) {
    struct Case {
        std::vector<std::string> headers;
        std::string file;
    };
    for (const Case& c : std::vector<Case>{
             {{"Content-Type: application/pdf; name=\"../../etc/r.pdf\""},
              "r.pdf | application/pdf"},
             {{"Content-Type: application/pdf", "Content-Disposition: attachment; filename=d.pdf"},
              "d.pdf | application/pdf"},
             {{"Content-Type: application/pdf"}, "att.0 | application/pdf"},
             {{"Content-Type: text/plain; name=\"n.txt\""}, "n.txt | text/plain"},
         }) {
        const auto message = MessageFrom(
            Crlf({"From: a@b", "MIME-Version: 1.0"}) + Crlf(c.headers) +
            Crlf({"Content-Transfer-Encoding: base64", "", "JVBE", "Rg==", ".", "Zm9v"}));
        EXPECT_EQ(Files(*message), std::vector<std::string>{c.file + " | Base64 | %PDF"});
        EXPECT_TRUE(message->Body().empty());
    }
}

const std::vector<std::string> kMixedWithGroup = {
    "From: a@b",
    "MIME-Version: 1.0",
    "Content-Type: multipart/mixed; boundary=\"outer\"",
    "",
    "preamble",
    "--outer",
    "Content-Type: multipart/alternative; boundary=\"outer-in\"",
    "",
    "--outer-in",
    "",
    "Plain text",
    "",
    "--outer-in",
    "Content-Type: text/html",
    "Content-Transfer-Encoding: quoted-printable",
    "",
    "<p>Hi=3D</p>",
    "",
    "--outer-in--",
    "",
    "--outer",
    "Content-Type: application/octet-stream",
    "Content-Transfer-Encoding: x-uuencode",
    "",
    "begin 600 f.bin",
    "#86)C",
    "`",
    "end",
    "",
    "--outer",
    "Content-Type: text/plain",
    "",
    "seven bit",
    "",
    "--outer--",
    "epilogue"};

TEST(Decoder, MixedWithAlternativeGroup) {
    const auto message = MessageFrom(Crlf(kMixedWithGroup));
    EXPECT_EQ(message->Body(), (std::vector<std::string>{"Plain text"}));
    EXPECT_EQ(Files(*message),
              (std::vector<std::string>{"_alt.0 | text/html | Quoted-Printable | <p>Hi=</p>\r\n",
                                        "att.1 | application/octet-stream | Base64 | abc",
                                        "att.2 | text/plain | 7 bit | seven bit\r\n"}));
}

TEST(Decoder, StructureErrorsBecomeErrorForm) {
    struct Case {
        const char* label;
        std::vector<std::string> lines;
        const char* error;
    };
    std::vector<std::string> unclosed(kMixedWithGroup.begin(), kMixedWithGroup.end() - 2);
    for (const Case& c : std::vector<Case>{
             {"NoClosingBoundary", unclosed, "Cannot find closing boundary"},
             {"NoBoundaryLine",
              {"From: a@b", "MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=zz", "",
               "--other", "x"},
              "Cannot find boundary"},
             {"NoBoundaryParameter",
              {"From: a@b", "MIME-Version: 1.0", "Content-Type: multipart/mixed", "", "--", "x"},
              "Cannot find boundary"},
             {"PartWithoutType",
              {"From: a@b", "MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=b", "",
               "--b", "", "text", "--b", "X-Other: 1", "", "data", "--b--"},
              "Missing required field: Content-Type"},
             {"SentinelInHeader",
              {"From: a@b", "\xFF\xFF\xFF\xFF", "", "body"},
              "Unable to retrieve headers"},
         }) {
        const std::string text = Crlf(c.lines);
        const auto message = MessageFrom(text);
        SCOPED_TRACE(c.label);
        ExpectErrorForm(*message, text, c.error);
    }
}

// Found by fuzzing: a uuencoded file name with a NUL byte among invalid UTF-8.
TEST(Decoder, PlainTextWithUuencodedFiles) {
    const std::string name("\xD0L\x85\xFE\x7F\0\0.d", 9);
    const auto message =
        MessageFrom(Crlf({"From: a@b", "To: t@x", "", "See the file:", "",
                          "begin 644 \"my file.bin\"", "#86)C", "`", "end", "between is dropped",
                          "BEGIN 600", "!80``", "end", "begin 600 " + name, "!80``", "end"}));
    EXPECT_EQ(message->Encoding(), meUU);
    EXPECT_EQ(message->Body(), (std::vector<std::string>{"See the file:"}));
    EXPECT_EQ(Files(*message),
              (std::vector<std::string>{
                  "my file.bin | application/octet-stream | Base64 | abc",
                  "att.1 | " + ContentTypeForFile("att.1") + " | Base64 | a",
                  "\xD0L\x85\xFE___.d | " + ContentTypeForFile("plain.d") + " | Base64 | a"}));
}

TEST(Decoder, MimeTextWithUuencodeIsReadAsPlain) {
    const auto message =
        MessageFrom(Crlf({"From: a@b", "To: t@x", "MIME-Version: 1.0", "Content-Type: text/plain",
                          "Content-Transfer-Encoding: 7bit", "X-Kept: 1", "", "Text",
                          "begin 600 a.txt", "!80``", "end"}));
    EXPECT_EQ(message->Encoding(), meUU);
    EXPECT_EQ(message->Recipients().Count(), 1);
    EXPECT_EQ(message->Headers(), (std::vector<std::string>{"From: a@b", "To: t@x", "X-Kept: 1"}));
    EXPECT_EQ(message->Body(), (std::vector<std::string>{"Text"}));
    EXPECT_EQ(message->Attachments()[0].Data(), "a");
}

TEST(Decoder, BrokenBodyEncodingRaises) {
    for (const auto& [encoding, line] : std::vector<std::pair<std::string, std::string>>{
             {"base64", "SGV*"}, {"quoted-printable", "ab=XYcd"}}) {
        // A comment after the version still makes the message MIME.
        const std::string text =
            Crlf({"From: a@b", "Mime-Version: 1.0 (Mailer 16.0)", "Content-Type: text/plain",
                  "Content-Transfer-Encoding: " + encoding, "", line});
        EXPECT_THROW(MessageFrom(text), Exception) << encoding;
    }
    EXPECT_THROW(MessageFrom(Crlf({"From: a@b", "", "begin 600 x", "#~~~~", "end"})), Exception);
}

}  // namespace
}  // namespace sievo
