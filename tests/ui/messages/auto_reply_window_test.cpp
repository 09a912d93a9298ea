#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "mail/message.h"
#include "messages/message_library_files.h"
#include "modal_answerer.h"
#include "store/message_library.h"
#include "ui/messages/auto_reply_window.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class AutoReplyTest : public MainWindowTest {
protected:
    static std::vector<LibraryEntry> Library() { return message_library::LoadAll(); }
    TfrmAutoReply& Window() { return Main().AutoReply(); }
    QTreeWidget& List() { return *Window().findChild<QTreeWidget*>("lstVMessages"); }
    QLineEdit& Subject() { return *Window().findChild<QLineEdit*>("edtSubject"); }
    QPlainTextEdit& Text() { return *Window().findChild<QPlainTextEdit*>("memText"); }
    void Select(int row) { List().setCurrentItem(List().topLevelItem(row)); }
    void ShowActive() {
        Window().show();
        Window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    }
    bool Exists(const std::string& file) const {
        return QFile::exists(QString::fromStdString(PathOf(file)));
    }
    std::unique_ptr<TmsMessage> Stored(const std::string& file) const {
        auto message = std::make_unique<TmsMessage>();
        message->LoadFromFile(PathOf(file + ".msg"));
        return message;
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
};

TEST_F(AutoReplyTest, DeleteMovesTheOthersUpAndRenameMovesTheFileOnlyWithoutText) {
    WriteMessageLibrary({{"One", "one1"}, {"Two", "two2"}, {"Three", "three3"}}, true);
    ShowActive();
    EXPECT_EQ(Subject().text(), "One");
    ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgQuestion", "Yes"}});
    Window().btnDeleteClick();
    EXPECT_EQ(Library(), (std::vector<LibraryEntry>{{"Two", "two2"}, {"Three", "three3"}}));
    EXPECT_FALSE(Exists("one1.msg"));
    EXPECT_EQ(Subject().text(), "Two");  // the row that took the place is shown

    ShowActive();  // back from the question
    Window().btnEditClick();
    FinishNameEdit("Kept");
    EXPECT_EQ(Library()[0], (LibraryEntry{"Kept", "two2"}));
    Select(1);
    Text().clear();
    Window().btnEditClick();
    FinishNameEdit("../Renamed");
    const std::string file = Library()[1].fileName;
    EXPECT_EQ(file.substr(0, 6), "___Re1");
    EXPECT_FALSE(Exists("three3.msg"));
    EXPECT_EQ(Stored(file)->Subject(), "Three");  // the subject moved with the file
}

TEST_F(AutoReplyTest, CodesKeepTheClipboardEditsAreStoredOnLeavingAndNewKeepsThePendingEdit) {
    WriteMessageLibrary({{"One", "one1"}}, true);
    ShowActive();
    QApplication::clipboard()->setText("the user's text");
    Text().moveCursor(QTextCursor::End);
    Window().InsertCode("<<SYSTEM~DATETIME>>");
    EXPECT_EQ(Text().toPlainText(), "Text of One<<SYSTEM~DATETIME>>");
    EXPECT_EQ(QApplication::clipboard()->text(), "the user's text");
    Subject().setFocus();
    QTest::keyClicks(&Subject(), QString(300, 'x'));
    List().setFocus();
    EXPECT_EQ(Stored("one1")->Subject().size(), 255u);
    EXPECT_EQ(Stored("one1")->Body().back(), "Text of One<<SYSTEM~DATETIME>>");

    Text().setFocus();
    Text().selectAll();
    QTest::keyClicks(&Text(), "Changed");
    Window().btnNewClick();  // the text box still has the focus
    FinishNameEdit("Second");
    EXPECT_EQ(Stored("one1")->Body(), std::vector<std::string>{"Changed"});
    ASSERT_EQ(Library().size(), 2u);
    const LibraryEntry added = Library()[1];
    EXPECT_EQ(added.name, "Second");
    // The new entry's text box was empty, so its file took a name from the new name.
    EXPECT_EQ(added.fileName.substr(0, 6), "Secon1");
    EXPECT_TRUE(Exists(added.fileName + ".msg"));
}

TEST_F(AutoReplyTest, FreshLibraryStartsEmptyAndNewWritesTheFirstEntry) {
    Window().show();
    EXPECT_EQ(List().topLevelItemCount(), 0);
    EXPECT_FALSE(Text().isEnabled());
    Window().btnNewClick();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // abandons the name edit
    ASSERT_EQ(Library().size(), 1u);
    EXPECT_EQ(Library()[0].name, "New Message");
    EXPECT_TRUE(Exists(Library()[0].fileName + ".msg"));
    EXPECT_TRUE(Text().isEnabled());
}

}  // namespace
}  // namespace sievo::testing
