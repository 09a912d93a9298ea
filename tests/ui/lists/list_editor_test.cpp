#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include "file_size_limit.h"
#include "modal_answerer.h"
#include "temp_home.h"
#include "ui/lists/list_editor.h"

namespace sievo::testing {
namespace {

using ListEditorTest = TempHomeTest;

// Cancel discards the edits, for that showing only: the next one shows the file again.
TEST_F(ListEditorTest, CancelDiscardsTheEditsOfThatShowingOnly) {
    WriteFile("friends.lst", "old@example.test\nfriend.test");
    TfrmFriends window;
    window.show();
    auto* list = window.findChild<QListView*>("lstLines");
    ASSERT_EQ(list->model()->rowCount(), 2);
    list->model()->setData(list->model()->index(0, 0), "new@example.test");
    window.findChild<QPushButton*>("btnCancel")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(ReadFile("friends.lst"), "old@example.test\nfriend.test");

    window.show();
    window.close();
    EXPECT_EQ(ReadFile("friends.lst"), "old@example.test\r\nfriend.test\r\n");
}

// A block pasted on the list or into a line adds one entry per line, trimmed and without
// the blank ones; typing on the list starts a new line and Enter ends it; the line still
// being edited is saved on closing.
TEST_F(ListEditorTest, PastedBlocksAndTypedLinesAreSaved) {
    WriteFile("friends.lst", "old@example.test\nfriend.test");
    TfrmFriends window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* list = window.findChild<QListView*>("lstLines");
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    QApplication::clipboard()->setText("  a@x.test \r\n\r\nb.test\n  \n");
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_N);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
    QTest::keyClicks(editor, "ew@z.test");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_L);
    editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
    QTest::keyClicks(editor, "ast@z.test");
    QApplication::clipboard()->setText("\n more@z.test\n");
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(ReadFile("friends.lst"),
              "old@example.test\r\na@x.test\r\nb.test\r\nnew@z.test\r\nlast@z.test\r\n"
              "more@z.test\r\nfriend.test\r\n");
}

TEST_F(ListEditorTest, ARefusedSaveIsShownAndKeepsTheWindowAndItsLinesOpen) {
    WriteFile("friends.lst", "old@example.test");
    TfrmFriends window;
    window.show();
    auto* list = window.findChild<QListView*>("lstLines");
    list->model()->setData(list->model()->index(0, 0), "new@example.test");
    {
        const FileSizeLimit fullDisk(0);
        ModalAnswerer answerer(ModalAnswerer::Answers{{"dlgMessage", "OK"}});
        window.close();
        ASSERT_TRUE(answerer.AllAnswered());
        EXPECT_NE(answerer.seen[0].find("Unable to write to"), std::string::npos);
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(ReadFile("friends.lst"), "old@example.test");
    window.findChild<QPushButton*>("btnOK")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(ReadFile("friends.lst"), "new@example.test\r\n");
}

TEST_F(ListEditorTest, FindSelectsTheFirstOccurrenceAndMissesChangeNothing) {
    WriteFile("sievo.lst", "alpha@spam.test\r\nbeta@spam.test\r\nbetamax@spam.test\r\n");
    TfrmSpamList window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Built In Spammer List");
    EXPECT_EQ(window.findChild<QLabel*>("lblCount")->text(), "Total Known Spammer Addresses: 3");
    const QString date = window.findChild<QLabel*>("lblDate")->text();
    EXPECT_TRUE(date.startsWith("Last Updated: ") && !date.contains("never")) << date.toStdString();
    auto* list = window.findChild<QListView*>("lstLines");
    auto* find = window.findChild<QLineEdit*>("edtFind");

    find->setText("@spam");
    window.Find();
    EXPECT_EQ(list->currentIndex().row(), 0);
    find->setText("spam.test");
    window.findChild<QPushButton*>("btnFind")->click();
    auto* editor = list->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectionStart(), 6);
    EXPECT_EQ(editor->selectedText(), "spam.test");

    find->setText("beta");
    window.Find();
    EXPECT_EQ(list->currentIndex().row(), 1);
    find->setText("BETA");  // case matters: no hit, nothing moves
    window.Find();
    EXPECT_EQ(list->currentIndex().row(), 1);
    window.findChild<QPushButton*>("btnCancel")->click();
}

TEST_F(ListEditorTest, AMissingFileSaysSoAndIsCreatedOnClose) {
    TfrmFriends window;
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("lblDate")->text(),
              "Last Updated: never (the file does not exist yet)");
    auto* model = window.findChild<QListView*>("lstLines")->model();
    model->insertRows(0, 1);
    model->setData(model->index(0, 0), "a\r\nb");  // a line break cannot enter a line
    window.close();
    EXPECT_EQ(ReadFile("friends.lst"), "a\r\nb\r\n");
}

}  // namespace
}  // namespace sievo::testing
