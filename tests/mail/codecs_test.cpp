#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/errors.h"
#include "mail/transfer_codecs.h"

namespace sievo {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

TEST(Base64, EncodesWithPaddingAndDecodesGroupsSplitAcrossLines) {
    EXPECT_EQ(EncodeBase64(""), "");
    EXPECT_EQ(EncodeBase64("H"), "SA==");
    EXPECT_EQ(EncodeBase64("He"), "SGU=");
    EXPECT_EQ(EncodeBase64("Hel"), "SGVs");
    const std::string encoded = EncodeBase64(AllBytes());
    Base64Decoder decoder;
    for (std::size_t at = 0; at < encoded.size(); at += 7)
        decoder.AddLine(encoded.substr(at, 7));
    EXPECT_EQ(decoder.Bytes(), AllBytes());

    Base64Decoder padded;
    padded.AddLine("SA== ignored");
    padded.AddLine(" SGVs\t");
    EXPECT_EQ(padded.Bytes(), "HHel");
}

TEST(Uuencode, RoundTripsEveryLength) {
    const std::string bytes = AllBytes();
    for (std::size_t length = 0; length <= 45; ++length) {
        const std::string group = bytes.substr(200, length);
        const std::string line = UuencodeLine(group);
        EXPECT_EQ(line.find(' '), std::string::npos) << length;
        EXPECT_EQ(UudecodeLine(line), group) << length;
    }
    EXPECT_EQ(UuencodeLine(std::string(3, '\0')), "#````");
}

TEST(Uuencode, DecodesBlankAsZeroAndShortLines) {
    EXPECT_EQ(UudecodeLine("!    "), std::string(1, '\0'));
    // Characters dropped at the line end count as zero.
    EXPECT_EQ(UudecodeLine("#86"), std::string("a`\0", 3));
    EXPECT_THROW(UudecodeLine("#8{)C"), Exception);
    EXPECT_THROW(UudecodeLine("\x7f"), Exception);
}

TEST(QuotedPrintable, DecodesSoftBreaksEscapesAndCtrlZ) {
    EXPECT_EQ(DecodeQuotedPrintable({"Caf=E9 au", "lait=", " chaud", ""}),
              "Caf\xE9 au\r\nlait chaud\r\n\r\n");
    EXPECT_EQ(DecodeQuotedPrintable({"a=3d=3D", "end\x1A"}), "a==\r\nend\x1A");
    EXPECT_EQ(DecodeQuotedPrintable({"trailing="}), "trailing");
    EXPECT_EQ(DecodeQuotedPrintable({"lone=4"}), "lone=4\r\n");
}

TEST(QuotedPrintable, EncodesOwnRules) {
    EXPECT_EQ(EncodeQuotedPrintable("a=b\tc\xE9 \r\n\r\nlast"),
              (std::vector<std::string>{"a=3Db=09c=E9 ", "", "last"}));
    EXPECT_EQ(EncodeQuotedPrintable("x\ny\rz\r\n"), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_TRUE(EncodeQuotedPrintable("").empty());
}

TEST(QuotedPrintable, WrapsAtLastBlankWithin65) {
    const std::string first(60, 'a');
    const std::string text = first + " " + std::string(10, 'b') + " " + std::string(70, 'c');
    const auto lines = EncodeQuotedPrintable(text);
    EXPECT_EQ(lines,
              (std::vector<std::string>{first + "=", " " + std::string(10, 'b') + "=",
                                        " " + std::string(64, 'c') + "=", std::string(6, 'c')}));
    EXPECT_EQ(DecodeQuotedPrintable(lines), text + "\r\n");
}

TEST(QuotedPrintable, EncodeRoundTripsEveryByteButBreaks) {
    std::string text;
    for (char c : AllBytes() + " tail " + std::string(200, '=')) {
        if (c != '\r' && c != '\n')
            text += c;
    }
    EXPECT_EQ(DecodeQuotedPrintable(EncodeQuotedPrintable(text)), text + "\r\n");
}

TEST(Codecs, BadInputRaisesWithItsReason) {
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;
    EXPECT_THAT([] { Base64Decoder().AddLine("SGV*"); },
                ThrowsMessage<Exception>(StrEq("Invalid Character")));
    EXPECT_FALSE(TryDecodeBase64("a.b").has_value());
    EXPECT_THAT([] { DecodeQuotedPrintable({"a=ZZb"}); },
                ThrowsMessage<Exception>(StrEq("'$ZZ' is not a valid integer value")));
    EXPECT_THAT([] { EncodeQuotedPrintable(std::string(24576, 'x')); },
                ThrowsMessage<Exception>(StrEq("Paragraph is too large")));
    EXPECT_NO_THROW(EncodeQuotedPrintable(std::string(24575, 'x')));
}

}  // namespace
}  // namespace sievo
