#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "../engine/mailbox_account.h"
#include "../engine/test_rules.h"
#include "modal_action.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// A Clean Mail Now whose rule asks before deleting every waiting message.
class DeletionConfirmTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Main().CreateStatusWindow();
        ASSERT_TRUE(server_.Started()) << server_.Error();
        AppendMailboxAccount(server_.PlainAddress());
        AddRule({"SUBCONT", "Message", true, true});
    }

    // Runs the pass; `answer` acts on the confirmation window once it is up.
    bool CleanAnswering(std::function<void(QWidget&)> answer) {
        const ModalAction action("frmDeletePrev", std::move(answer));
        Main().Menu().cleanNow->trigger();
        return action.Done();
    }

    DovecotServer server_{{DovecotServer::GeneratedMessages(3), "", ""}};
};

// Viewing goes through the scan's own session, which must still carry out the deletions
// afterwards.
TEST_F(DeletionConfirmTest, EscapeKeepsEveryMessageAndAfterViewingTheTickedOnesAreDeleted) {
    ASSERT_TRUE(CleanAnswering([](QWidget& window) {
        EXPECT_EQ(window.findChild<QTreeWidget*>("lstVRem")->topLevelItemCount(), 3);
        QTest::keyClick(&window, Qt::Key_Escape);
    }));
    EXPECT_EQ(server_.StoredMessages(), DovecotServer::GeneratedMessages(3));

    ASSERT_TRUE(CleanAnswering([this](QWidget& window) {
        auto* list = window.findChild<QTreeWidget*>("lstVRem");
        list->setCurrentItem(list->topLevelItem(1));
        window.findChild<QPushButton*>("btnView")->click();
        TfrmMessageView& viewer = Main().MessageView();
        EXPECT_TRUE(viewer.isVisible());
        EXPECT_EQ(viewer.findChild<QLabel*>("lblFrom")->text(), "Sender 2 -- sender2@example.org");
        EXPECT_EQ(viewer.findChild<QLabel*>("lblSubject")->text(), "Message 2");
        viewer.hide();
        list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        window.findChild<QPushButton*>("btnContinue")->click();
    }));
    EXPECT_EQ(server_.StoredMessages(), DovecotServer::GeneratedMessages(1));
}

}  // namespace
}  // namespace sievo::testing
