#include "engine/action_ledger.h"

#include "config/account.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo {
namespace {

class ActionLedgerTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        WriteAccount(1, {{"POPUser", "anna"}, {"POPAddress", "pop.one.example"}});
        WriteAccount(2, {{"POPUser", "anna"}, {"POPAddress", "pop.two.example"}});
    }
};

TEST_F(ActionLedgerTest, MessagesGoneFromTheServerAreForgotten) {
    ActionLedger first(accounts::ForCheck(1));
    first.MarkDone("uid:1", "trash");
    first.MarkDone("uid:2", "trash");
    ActionLedger(accounts::ForCheck(2)).MarkDone("uid:1", "trash");
    ActionLedger(accounts::ForCheck(1)).KeepOnly({"uid:2"});
    EXPECT_FALSE(ActionLedger(accounts::ForCheck(1)).WasDone("uid:1", "trash"));
    EXPECT_TRUE(ActionLedger(accounts::ForCheck(1)).WasDone("uid:2", "trash"));
    EXPECT_TRUE(
        ActionLedger(accounts::ForCheck(2)).WasDone("uid:1", "trash"));  // other account kept
}

TEST_F(ActionLedgerTest, ARenamedMessageKeepsWhatWasDoneUnderItsNewKeyOnly) {
    ActionLedger ledger(accounts::ForCheck(1));
    ledger.MarkDone("sha256:ab", "reply 3");
    ledger.MarkDone("uid:7", "trash");
    EXPECT_TRUE(ledger.HoldsHeaderBlockKeys());
    ledger.Rename("sha256:ab", "uid:7");
    // Only then does a check hash every header block to look for records to rename.
    EXPECT_FALSE(ledger.HoldsHeaderBlockKeys());
    ledger.Rename("sha256:none", "uid:8");
    ledger.KeepOnly({"uid:7", "uid:8"});
    const ActionLedger again(accounts::ForCheck(1));
    EXPECT_TRUE(again.WasDone("uid:7", "reply 3"));
    EXPECT_TRUE(again.WasDone("uid:7", "trash"));
    EXPECT_FALSE(again.WasDone("sha256:ab", "reply 3"));
    EXPECT_FALSE(again.WasDone("uid:8", "reply 3"));
}

TEST(MessageKey, TheServersIdElseTheHeaderBlock) {
    const TmsHeaders a = {"Subject: x", "From: y"}, b = {"Subject: x", "From: z"};
    EXPECT_EQ(MessageKey("abc", a), "uid:abc");
    EXPECT_EQ(MessageKey("", a), MessageKey("", TmsHeaders(a)));
    EXPECT_NE(MessageKey("", a), MessageKey("", b));
    // Lines are kept apart, so moving text across a line break changes the key.
    EXPECT_NE(MessageKey("", {"ab", "c"}), MessageKey("", {"a", "bc"}));
}

}  // namespace
}  // namespace sievo
