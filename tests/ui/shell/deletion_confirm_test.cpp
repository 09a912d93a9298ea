#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "../engine/test_rules.h"
#include "config/data_folder.h"
#include "dovecot_server.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

// A Clean Mail Now whose rule asks before deleting every waiting message.
class DeletionConfirmTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WriteSetting("Main", "OpenedBefore", "1");
        Main().CreateStatusWindow();
        ASSERT_TRUE(server_.Started()) << server_.Error();
        TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
        WriteAccount(1, {{"POPAddress", server_.PlainAddress()},
                         {"POPUser", DovecotServer::kUserName},
                         {"ClearPassword", DovecotServer::kPassword},
                         {"MailNotify", "0"}});
        AddRule({"SUBCONT", "Message", true, true});
    }

    // Runs the pass; `answer` acts on the confirmation window once it is up.
    void CleanAnswering(std::function<void(QDialog&)> answer) {
        QTimer look;
        look.setInterval(20);
        QObject::connect(&look, &QTimer::timeout, [&] {
            auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (window && window->objectName() == "frmDeletePrev") {
                look.stop();
                answer(*window);
            }
        });
        look.start();
        Main().Menu().cleanNow->trigger();
        answered_ = !look.isActive();
    }

    DovecotServer server_{{DovecotServer::GeneratedMessages(3), "", ""}};
    bool answered_ = false;
};

TEST_F(DeletionConfirmTest, EscapeKeepsEveryMessage) {
    CleanAnswering([](QDialog& window) {
        EXPECT_EQ(window.findChild<QTreeWidget*>("lstVRem")->topLevelItemCount(), 3);
        QTest::keyClick(&window, Qt::Key_Escape);
    });
    ASSERT_TRUE(answered_);
    EXPECT_EQ(server_.StoredMessages(), DovecotServer::GeneratedMessages(3));
}

// Viewing goes through the scan's own session, which must still carry out the deletions
// afterwards.
TEST_F(DeletionConfirmTest, ViewingARowLeavesTheScanToDeleteWhatStaysTicked) {
    CleanAnswering([this](QDialog& window) {
        auto* list = window.findChild<QTreeWidget*>("lstVRem");
        list->setCurrentItem(list->topLevelItem(1));
        window.findChild<QPushButton*>("btnView")->click();
        TfrmMessageView& viewer = Main().MessageView();
        EXPECT_TRUE(viewer.isVisible());
        EXPECT_EQ(viewer.findChild<QLabel*>("lblFrom")->text(), "Sender 2 -- sender2@example.org");
        EXPECT_EQ(viewer.findChild<QLabel*>("lblSubject")->text(), "Message 2");
        EXPECT_EQ(viewer.findChild<QPlainTextEdit*>("memBody")->toPlainText(),
                  "Body of message 2.");
        viewer.hide();
        list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        window.findChild<QPushButton*>("btnContinue")->click();
    });
    ASSERT_TRUE(answered_);
    EXPECT_EQ(server_.StoredMessages(), DovecotServer::GeneratedMessages(1));
}

}  // namespace
}  // namespace sievo::testing
