#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace sievo {

class TmsMessage;

// The library of reply and report messages: names in messages.ini, one message file each.
// Every change is stored as it is made; a name is changed in place in the list.
class TfrmAutoReply : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAutoReply(QWidget* parent = nullptr);
    ~TfrmAutoReply() override;

    void PopulateMessageList();
    // Shows the selected entry's message; a missing file is created from the boxes.
    void CorLoadMessage();
    // Writes the boxes into the file of the entry they show.
    void CorSaveMessage();

    void btnNewClick();
    void btnEditClick();
    void btnDeleteClick();
    void InsertCode(const QString& code);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateButtons();
    QWidget* CreateEditor();
    QWidget* CreateCodesButton();
    int SelectedEntry() const;
    std::string FileOf(int entry) const;
    void SaveIfChanged();
    void SetBoxes(const QString& subject, const QString& text);
    void FollowSelection();
    void Rename(QTreeWidgetItem* item);
    void Reselect(int position);
    void DeleteFile(const std::string& baseName);

    QTreeWidget* lstVMessages_;
    QListWidget* lstPaths_;
    QWidget* pnlShowPaths_;
    QLineEdit* edtSubject_;
    QPlainTextEdit* memText_;
    std::unique_ptr<TmsMessage> message_;
    int shownEntry_ = 0;    // the entry whose message the boxes hold; 0 for none
    bool changed_ = false;  // the boxes differ from the file
    bool filling_ = false;  // the window itself is changing the list or the boxes
    bool deleting_ = false;
};

}  // namespace sievo
