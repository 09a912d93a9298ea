#include <gtest/gtest.h>

#include "mail/pop3_replies.h"
#include "mail/remote_info.h"

namespace sievo {
namespace {

TEST(Pop3Replies, StatAndListFieldsAreReadStrictlyOrNotAtAll) {
    const auto stat = SplitStatReply("+OK 3 1200");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->count, "3");
    EXPECT_EQ(stat->size, "1200");
    EXPECT_FALSE(SplitStatReply("+OK"));
    EXPECT_FALSE(SplitStatReply("+OK 3"));
    EXPECT_EQ(ListReplySize("+OK 2 320"), 320);
    EXPECT_EQ(ListReplySize("+OK 2 320 octets"), 320);
    EXPECT_EQ(ListReplySize("+OK 2"), 0);
    EXPECT_EQ(ListReplySize("+OK 2 -5"), 0);
    EXPECT_EQ(ParseCount("12x"), std::nullopt);
    EXPECT_EQ(ParseCount(""), std::nullopt);
    EXPECT_EQ(ParseCount("99999999999999999999"), std::nullopt);
}

TmsRemoteInfoItem Item(TmsHeaders headers) {
    TmsRemoteInfoItem item;
    item.Headers = std::move(headers);
    return item;
}

TEST(SameMessage, MessageIdDecidesWhenBothHaveOneElseEveryHeaderLine) {
    struct Case {
        TmsHeaders stored;
        TmsHeaders fresh;
        bool same;
    };
    const Case cases[] = {
        {{"Subject: a", "Message-ID: <1@x>"}, {"Subject: b", "Message-ID: <1@x>"}, true},
        {{"Message-ID: <1@x>"}, {"Message-ID: <1@X>"}, false},
        {{"Subject: a", "From: s"}, {"Subject: a", "From: s"}, true},
        {{"Subject: a", "From: s"}, {"Subject: a", "From: t"}, false},
        {{"Message-ID: <1@x>", "Subject: a"}, {"Subject: a"}, false},
        // A shorter block, an empty one above all, is not the start of a longer one.
        {{"Subject: a", "From: s"}, {"Subject: a"}, false},
        {{"Subject: a"}, {}, false},
        {{}, {}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameMessage(Item(c.stored), Item(c.fresh)), c.same)
            << ::testing::PrintToString(c.stored) << " / " << ::testing::PrintToString(c.fresh);
    }
}

TEST(SameMessage, AMessageWhoseHeaderBlockWasNotKeptPassesForNoOther) {
    TmsRemoteInfoItem unkept;
    unkept.HeaderTooLarge = true;
    EXPECT_FALSE(SameMessage(unkept, unkept));
    EXPECT_FALSE(SameMessage(unkept, Item({})));
    EXPECT_FALSE(SameMessage(Item({}), unkept));
}

}  // namespace
}  // namespace sievo
