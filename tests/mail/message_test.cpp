#include "mail/message.h"

#include <gtest/gtest.h>

#include "config/errors.h"
#include "message_text.h"
#include "temp_home.h"

namespace sievo {
namespace {

using testing::TextOf;

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
