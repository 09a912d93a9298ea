#include "ui/lists/list_editor.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"

namespace sievo {

QString ListDateLine(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists())
        return QObject::tr("Last Updated: never (the file does not exist yet)");
    const QDateTime modified = info.lastModified();
    return QObject::tr("Last Updated: ") +
           QString::fromStdString(FormatShortDate(modified.date()) + ' ' +
                                  FormatLongTime(modified.time()));
}

TfrmListEditor::TfrmListEditor(const char* objectName, const QString& caption, std::string fileName,
                               QWidget* parent)
    : QDialog(parent),
      path_(ProgramFile(fileName)),
      model_(this),
      lblDate_(new QLabel(this)),
      lstLines_(new ListLinesView(model_, this)),
      btnOK_(new QPushButton(tr("OK / Save"), this)),
      notes_(new QVBoxLayout),
      tools_(new QVBoxLayout) {
    Name(this, objectName, caption);
    setWindowTitle(caption);
    Name(lblDate_, "lblDate", tr("Last updated"));
    Name(lstLines_, "lstLines", caption);
    Name(btnOK_, "btnOK", tr("OK / Save"));
    btnOK_->setDefault(true);
    auto* btnCancel = new QPushButton(tr("Cancel"), this);
    Name(btnCancel, "btnCancel", tr("Cancel"));
    connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    tools_->addWidget(NoteLabel(tr("Type to add a line (or press Insert); paste a block to "
                                   "add one line per address. Double-click a line to change "
                                   "it; Delete removes the selected lines."),
                                this));
    tools_->addStretch();
    tools_->addWidget(btnOK_);
    tools_->addWidget(btnCancel);
    auto* row = new QHBoxLayout;
    row->addWidget(lstLines_, 1);
    row->addLayout(tools_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(notes_);
    layout->addWidget(lblDate_);
    layout->addLayout(row, 1);
    resize(620, 460);
}

void TfrmListEditor::showEvent(QShowEvent* event) {
    Load();
    QDialog::showEvent(event);
}

// A file that exists but cannot be read is never replaced by the empty list shown for it.
void TfrmListEditor::Load() {
    closing_ = false;
    lblDate_->setText(ListDateLine(path_));
    model_.Clear();
    const auto text = ReadWholeFile(path_);
    unreadable_ = !text && std::filesystem::exists(path_);
    if (unreadable_) {
        AppException(Exception("Cannot open file \"" + path_ + "\""));
        return;
    }
    model_.Load(text.value_or(std::string()));
    Loaded();
}

void TfrmListEditor::Save() {
    if (unreadable_)
        return;
    if (!WriteFileAtomically(path_, model_.Text()))
        throw Exception("Unable to write to " + path_);
}

void TfrmListEditor::reject() {
    discard_ = true;
    QDialog::reject();
}

// Every way of closing ends here once: OK, Cancel, Escape and the close box.
void TfrmListEditor::done(int result) {
    if (closing_)
        return;
    closing_ = true;
    if (!discard_) {
        lstLines_->CommitPendingEdit();
        // A refused write keeps the window open with every line the user entered.
        if (!RunShowingFailure(this, [this] { Save(); })) {
            closing_ = false;
            return;
        }
    }
    discard_ = false;
    QDialog::done(result);
}

void TfrmListEditor::closeEvent(QCloseEvent* event) {
    // The close box saves as "OK / Save" does.
    done(QDialog::Accepted);
    event->setAccepted(!isVisible());
}

TfrmFriends::TfrmFriends(QWidget* parent)
    : TfrmListEditor("frmFriends", tr("My Friends"), "friends.lst", parent) {
    Notes()->addWidget(
        NoteLabel(tr("You may add full e-mail addresses or just domain names."), this));
    Notes()->addWidget(NoteLabel(
        tr("Using this list, if an Sieving Rule is activated and the message is to be deleted, "
           "the message will also be checked to see whether it is from an address or domain on "
           "this list.  If so, then the message will not be sieved as though it was spam."),
        this));
}

TfrmSpamList::TfrmSpamList(QWidget* parent)
    : TfrmListEditor("frmSpamList", tr("Spammers"), "sievo.lst", parent),
      lblCount_(new QLabel(this)),
      edtFind_(new QLineEdit(this)),
      btnFind_(new QPushButton(tr("Find"), this)) {
    Notes()->addWidget(NoteLabel(tr("All spammers on the list are treated the same way "
                                    "according to the settings you have specified on the "
                                    "sieving list."),
                                 this));
    Notes()->addWidget(NoteLabel(tr("Please use caution when modifying this list. Read this "
                                    "notice."),
                                 this));
    Notes()->addWidget(NoteLabel(
        tr("Changes you make here are lost when a new list is downloaded. Single spammers are "
           "better added as rules with the wizard's address option; addresses to be spared "
           "belong on the friends list. Updates are fetched from the AutoUpdate tab of the "
           "options."),
        this));
    Name(lblCount_, "lblCount", tr("Total Known Spammer Addresses"));
    Name(btnFind_, "btnFind", tr("Find"));
    edtFind_->setObjectName("edtFind");
    edtFind_->installEventFilter(this);
    connect(btnFind_, &QPushButton::clicked, this, &TfrmSpamList::Find);
    Tools()->insertWidget(0, lblCount_);
    Tools()->insertWidget(1, BuddyLabel(tr("Find Text:"), edtFind_, this));
    Tools()->insertWidget(2, edtFind_);
    Tools()->insertWidget(3, btnFind_);
    // The find box comes before the buttons that close the window, as it stands above them.
    setTabOrder(Lines(), edtFind_);
    setTabOrder(edtFind_, btnFind_);
}

void TfrmSpamList::Loaded() {
    setWindowTitle(tr("Built In Spammer List"));
    lblCount_->setText(tr("Total Known Spammer Addresses: %1").arg(Model().rowCount()));
}

void TfrmSpamList::Find() {
    const auto hit = Model().Find(edtFind_->text().toStdString());
    if (!hit)
        return;
    const QModelIndex index = Model().index(hit->row);
    Lines()->setFocus();
    // Moving away first closes an editor still open, so the new one opens on the hit.
    Lines()->setCurrentIndex(QModelIndex());
    Lines()->setCurrentIndex(index);
    Lines()->scrollTo(index, QAbstractItemView::PositionAtCenter);
    Lines()->edit(index);
    if (auto* editor = Lines()->findChild<QLineEdit*>())
        editor->setSelection(hit->offset, edtFind_->text().size());
}

// While the find box has the focus, Enter searches; otherwise it is "OK / Save".
bool TfrmSpamList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtFind_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool finding = event->type() == QEvent::FocusIn;
        btnFind_->setDefault(finding);
        OkButton()->setDefault(!finding);
    }
    return TfrmListEditor::eventFilter(watched, event);
}

void TfrmSpamList::done(int result) {
    TfrmListEditor::done(result);
    Model().Clear();  // a list of a million lines is not kept while hidden
}

}  // namespace sievo
