#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include "mail/message.h"
#include "messages/message_library_files.h"
#include "modal_answerer.h"
#include "store/message_library.h"
#include "temp_home.h"
#include "ui/messages/auto_reply_window.h"

namespace sievo::testing {
namespace {

class AutoReplyTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        window_ = std::make_unique<TfrmAutoReply>();
    }
    void TearDown() override {
        window_.reset();
        TempHomeTest::TearDown();
    }

    static std::vector<LibraryEntry> Library() { return message_library::LoadAll(); }
    QTreeWidget& List() { return *window_->findChild<QTreeWidget*>("lstVMessages"); }
    QLineEdit& Subject() { return *window_->findChild<QLineEdit*>("edtSubject"); }
    QPlainTextEdit& Text() { return *window_->findChild<QPlainTextEdit*>("memText"); }
    void Select(int row) { List().setCurrentItem(List().topLevelItem(row)); }
    void ShowActive() {
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    bool Exists(const std::string& file) const {
        return QFile::exists(QString::fromStdString(PathOf(file)));
    }
    // Confirms the in-place name edit that New or Edit started.
    void FinishNameEdit(const QString& name) {
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(qobject_cast<QLineEdit*>(editor), nullptr);
        static_cast<QLineEdit*>(editor)->setText(name);
        const QPointer<QWidget> open = editor;
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits the edit from its event queue.
        EXPECT_TRUE(QTest::qWaitFor([&open] { return open.isNull(); }));
    }

    std::unique_ptr<TfrmAutoReply> window_;
};

TEST_F(AutoReplyTest, DeletingEntryOneOfThreeMovesTheOthersUp) {
    WriteMessageLibrary({{"One", "one1"}, {"Two", "two2"}, {"Three", "three3"}}, true);
    window_->show();
    EXPECT_EQ(Subject().text(), "One");
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    window_->btnDeleteClick();
    EXPECT_FALSE(Exists("one1.msg"));
    EXPECT_EQ(Subject().text(), "Two");  // the row that took the place is shown
}

TEST_F(AutoReplyTest, EditsAreStoredOnLeavingAndNewKeepsThePendingEditOfTheOldEntry) {
    WriteMessageLibrary({{"One", "one1"}}, true);
    ShowActive();
    Text().setFocus();
    Text().selectAll();
    QTest::keyClicks(&Text(), "Changed");
    window_->btnNewClick();  // the text box still has the focus
    FinishNameEdit("Second");

    TmsMessage first;
    first.LoadFromFile(PathOf("one1.msg"));
    EXPECT_EQ(first.Body(), std::vector<std::string>{"Changed"});
    ASSERT_EQ(Library().size(), 2u);
    const LibraryEntry added = Library()[1];
    EXPECT_EQ(added.name, "Second");
    // The new entry's text box was empty, so its file took a name from the new name.
    EXPECT_EQ(added.fileName.substr(0, 6), "Secon1");
    EXPECT_TRUE(Exists(added.fileName + ".msg"));
}

TEST_F(AutoReplyTest, RenameKeepsTheFileWithTextAndRenamesItWithout) {
    WriteMessageLibrary({{"With text", "with1"}, {"Empty", "empty2"}}, true);
    ShowActive();
    window_->btnEditClick();
    FinishNameEdit("Kept");
    EXPECT_EQ(Library()[0], (LibraryEntry{"Kept", "with1"}));

    Select(1);
    Text().clear();
    window_->btnEditClick();
    FinishNameEdit("../Renamed");
    const std::string file = Library()[1].fileName;
    EXPECT_EQ(file.substr(0, 6), "___Re1");
    EXPECT_FALSE(Exists("empty2.msg"));
    TmsMessage moved;
    moved.LoadFromFile(PathOf(file + ".msg"));
    EXPECT_EQ(moved.Subject(), "Empty");  // the subject moved with the file
}

TEST_F(AutoReplyTest, CodeInsertionKeepsTheClipboardAndLongSubjectsAreCut) {
    WriteMessageLibrary({{"One", "one1"}}, true);
    ShowActive();
    QApplication::clipboard()->setText("the user's text");
    Text().moveCursor(QTextCursor::End);
    window_->InsertCode("<<SYSTEM~DATETIME>>");
    EXPECT_EQ(Text().toPlainText(), "Text of One<<SYSTEM~DATETIME>>");
    EXPECT_EQ(QApplication::clipboard()->text(), "the user's text");

    Subject().setFocus();
    QTest::keyClicks(&Subject(), QString(300, 'x'));
    List().setFocus();
    TmsMessage stored;
    stored.LoadFromFile(PathOf("one1.msg"));
    EXPECT_EQ(stored.Subject().size(), 255u);
    EXPECT_EQ(stored.Body().back(), "Text of One<<SYSTEM~DATETIME>>");
}

TEST_F(AutoReplyTest, FreshLibraryStartsEmptyAndNewWritesTheFirstEntry) {
    window_->show();
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_FALSE(Text().isEnabled());
    window_->btnNewClick();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // abandons the name edit
    ASSERT_EQ(Library().size(), 1u);
    EXPECT_EQ(Library()[0].name, "New Message");
    EXPECT_TRUE(Exists(Library()[0].fileName + ".msg"));
    EXPECT_TRUE(Text().isEnabled());
}

}  // namespace
}  // namespace sievo::testing
