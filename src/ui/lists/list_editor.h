#pragma once

#include <QDialog>
#include <string>

#include "ui/lists/list_lines_model.h"
#include "ui/lists/list_lines_view.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace sievo {

// A list file of the data folder shown line by line for editing: it is loaded at every
// showing and saved, with a line still being edited, at every close except Cancel.
class TfrmListEditor : public QDialog {
    Q_OBJECT

public:
    TfrmListEditor(const char* objectName, const QString& caption, std::string fileName,
                   QWidget* parent);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    // Called after each load that read the file; the spammer list shows its count here.
    virtual void Loaded() {}

    QVBoxLayout* Notes() { return notes_; }
    QVBoxLayout* Tools() { return tools_; }
    ListLinesView* Lines() { return lstLines_; }
    ListLinesModel& Model() { return model_; }
    QPushButton* OkButton() { return btnOK_; }

private:
    void Load();
    void Save();

    std::string path_;
    ListLinesModel model_;
    QLabel* lblDate_;
    ListLinesView* lstLines_;
    QPushButton* btnOK_;
    QVBoxLayout* notes_;
    QVBoxLayout* tools_;
    bool discard_ = false;
    bool unreadable_ = false;
    bool closing_ = false;
};

// "My Friends": friends.lst.
class TfrmFriends : public TfrmListEditor {
    Q_OBJECT

public:
    explicit TfrmFriends(QWidget* parent = nullptr);
};

// "Built In Spammer List": sievo.lst, with its count and a search.
class TfrmSpamList : public TfrmListEditor {
    Q_OBJECT

public:
    explicit TfrmSpamList(QWidget* parent = nullptr);

    void Find();

protected:
    void Loaded() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QLabel* lblCount_;
    QLineEdit* edtFind_;
    QPushButton* btnFind_;
};

// "Last Updated: " + the file's modification time, or what is known when it is missing.
QString ListDateLine(const std::string& path);

}  // namespace sievo
