#include "ui/messages/auto_reply_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/text.h"
#include "mail/message.h"
#include "store/message_library.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/shell/main_window.h"

namespace sievo {

namespace {

// The longest subject a library message keeps.
constexpr std::size_t kMaxSubjectBytes = 255;

}  // namespace

TfrmAutoReply::TfrmAutoReply(QWidget* parent)
    : QDialog(parent),
      lstVMessages_(new QTreeWidget(this)),
      lstPaths_(new QListWidget(this)),
      pnlShowPaths_(new QWidget(this)),
      edtSubject_(new QLineEdit(this)),
      memText_(new QPlainTextEdit(this)),
      message_(std::make_unique<TmsMessage>()) {
    Name(this, "frmAutoReply", tr("Manage Reply / Report Messages"));
    setWindowTitle(tr("Manage Reply / Report Messages"));
    auto* intro = new QLabel(tr("You can optionally add new auto-reply messages to Sievomatic.  "
                                "For example you may want to have varying degrees of responses "
                                "depending on the sender of the message you are replying to."),
                             this);
    intro->setWordWrap(true);

    Name(lstVMessages_, "lstVMessages", tr("Message Name"));
    lstVMessages_->setHeaderLabels({tr("Message Name")});
    lstVMessages_->setColumnWidth(0, 350);
    lstVMessages_->setRootIsDecorated(false);
    lstVMessages_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstVMessages_->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::SelectedClicked);
    lstVMessages_->header()->setSectionsClickable(false);
    lstVMessages_->setMinimumWidth(220);
    Name(lstPaths_, "lstPaths", tr("Message file names"));
    lstPaths_->hide();
    connect(lstVMessages_, &QTreeWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { FollowSelection(); }); });
    connect(lstVMessages_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        if (!filling_)
            Guarded([this, item] { Rename(item); });
    });

    auto* lists = new QHBoxLayout;
    lists->addWidget(lstVMessages_, 1);
    lists->addWidget(lstPaths_);
    lists->addWidget(CreateButtons());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(lists, 2);
    layout->addWidget(CreateEditor(), 3);
    // The small unlabelled corner: a double click shows the file names.
    pnlShowPaths_->setObjectName("pnlShowPaths");
    pnlShowPaths_->setFixedSize(16, 16);
    pnlShowPaths_->installEventFilter(this);
    layout->addWidget(pnlShowPaths_, 0, Qt::AlignLeft);
    // The keyboard follows the layout: the list and its buttons, then the message.
    QWidget* previous = lstVMessages_;
    for (const char* name :
         {"btnNew", "btnEdit", "btnDelete", "btnClose", "edtSubject", "btnCodes", "memText"}) {
        QWidget* next = findChild<QWidget*>(name);
        setTabOrder(previous, next);
        previous = next;
    }
    resize(640, 520);
}

TfrmAutoReply::~TfrmAutoReply() = default;

QWidget* TfrmAutoReply::CreateButtons() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const char* name, const QString& text, void (TfrmAutoReply::*click)()) {
        auto* button = new QPushButton(text, panel);
        Name(button, name, QString(text).remove('&'));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, click] { Guarded([this, click] { (this->*click)(); }); });
        column->addWidget(button);
    };
    add("btnNew", tr("&New"), &TfrmAutoReply::btnNewClick);
    add("btnEdit", tr("&Edit"), &TfrmAutoReply::btnEditClick);
    add("btnDelete", tr("&Delete"), &TfrmAutoReply::btnDeleteClick);
    column->addStretch();
    auto* btnClose = new QPushButton(tr("&Close"), panel);
    Name(btnClose, "btnClose", tr("Close"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(btnClose);
    return panel;
}

QWidget* TfrmAutoReply::CreateEditor() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* lblSubject = new QLabel(tr("Subject:"), panel);
    lblSubject->setBuddy(edtSubject_);
    Name(edtSubject_, "edtSubject", tr("Subject"));
    Name(memText_, "memText", tr("Message text"));
    memText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on rather than typing a tab, so the keyboard can leave the box.
    memText_->setTabChangesFocus(true);
    for (QWidget* box : {static_cast<QWidget*>(edtSubject_), static_cast<QWidget*>(memText_)})
        box->installEventFilter(this);
    const auto noteChange = [this] {
        if (!filling_)
            changed_ = true;
    };
    connect(edtSubject_, &QLineEdit::textEdited, this, noteChange);
    connect(memText_, &QPlainTextEdit::textChanged, this, noteChange);
    grid->addWidget(lblSubject, 0, 0);
    grid->addWidget(edtSubject_, 0, 1);
    grid->addWidget(CreateCodesButton(), 0, 2);
    grid->addWidget(memText_, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return panel;
}

QWidget* TfrmAutoReply::CreateCodesButton() {
    auto* button = new QToolButton(this);
    button->setText(tr("Insert Special Codes"));
    Name(button, "btnCodes", tr("Insert Special Codes"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    QMenu* original = menu->addMenu(tr("Original Message"));
    const auto add = [this](QMenu* into, const QString& text, const QString& code) {
        connect(into->addAction(text), &QAction::triggered, this,
                [this, code] { Guarded([this, code] { InsertCode(code); }); });
    };
    add(original, tr("Full Header Text"), "<<REPLYHEADER~ALLHEADERS>>");
    original->addSeparator();
    add(original, tr("E-Mail Address"), "<<REPLYHEADER~FROMADDRESS>>");
    add(original, tr("Sender's Name"), "<<REPLYHEADER~FROMNAME>>");
    add(menu->addMenu(tr("Special Commands")), tr("Current Date and Time"), "<<SYSTEM~DATETIME>>");
    button->setMenu(menu);
    return button;
}

void TfrmAutoReply::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Guarded([this] {
        PopulateMessageList();
        CorLoadMessage();
    });
}

void TfrmAutoReply::hideEvent(QHideEvent* event) {
    Guarded([this] { SaveIfChanged(); });
    QDialog::hideEvent(event);
}

bool TfrmAutoReply::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == edtSubject_ || watched == memText_))
        Guarded([this] { SaveIfChanged(); });
    if (event->type() == QEvent::MouseButtonDblClick && watched == pnlShowPaths_)
        lstPaths_->setVisible(!lstPaths_->isVisible());
    return QDialog::eventFilter(watched, event);
}

int TfrmAutoReply::SelectedEntry() const {
    const QList<QTreeWidgetItem*> selected = lstVMessages_->selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(0, Qt::UserRole).toInt();
}

std::string TfrmAutoReply::FileOf(int entry) const {
    const QListWidgetItem* line = lstPaths_->item(entry - 1);
    return line ? line->text().toStdString() : std::string();
}

void TfrmAutoReply::PopulateMessageList() {
    const QScopedValueRollback filling(filling_, true);
    lstVMessages_->clear();
    lstPaths_->clear();
    int entry = 0;
    for (const LibraryEntry& stored : message_library::LoadAll()) {
        lstPaths_->addItem(QString::fromStdString(stored.fileName));
        auto* row = new QTreeWidgetItem(lstVMessages_, {QString::fromStdString(stored.name)});
        row->setData(0, Qt::UserRole, ++entry);
        row->setFlags(row->flags() | Qt::ItemIsEditable);
    }
    if (entry > 0)
        lstVMessages_->setCurrentItem(lstVMessages_->topLevelItem(0));
}

void TfrmAutoReply::SetBoxes(const QString& subject, const QString& text) {
    const QScopedValueRollback filling(filling_, true);
    edtSubject_->setText(subject);
    memText_->setPlainText(text);
}

void TfrmAutoReply::CorLoadMessage() {
    {
        const QScopedValueRollback filling(filling_, true);
        memText_->clear();
    }
    message_->Clear();
    changed_ = false;
    shownEntry_ = SelectedEntry();
    const bool selected = shownEntry_ != 0;
    edtSubject_->setEnabled(selected);
    memText_->setEnabled(selected);
    if (!selected)
        return;
    const std::string path = message_library::MessageFilePath(FileOf(shownEntry_));
    // Only a missing file is made anew: one that exists but cannot be read is the user's
    // text and is reported, not overwritten.
    if (!QFile::exists(QString::fromStdString(path))) {
        CorSaveMessage();
        return;
    }
    message_->LoadFromFile(path);
    QStringList lines;
    for (const std::string& line : message_->Body())
        lines << QString::fromStdString(line);
    SetBoxes(QString::fromStdString(message_->Subject()), lines.join('\n'));
}

void TfrmAutoReply::CorSaveMessage() {
    if (shownEntry_ == 0)
        return;
    message_->SetSubject(Utf8Truncate(edtSubject_->text().toStdString(), kMaxSubjectBytes));
    const std::string text = memText_->toPlainText().toStdString();
    message_->Body() = text.empty() ? std::vector<std::string>{} : SplitLines(text);
    message_->SaveToFile(message_library::MessageFilePath(FileOf(shownEntry_)));
    changed_ = false;
}

void TfrmAutoReply::SaveIfChanged() {
    if (changed_)
        CorSaveMessage();
}

void TfrmAutoReply::FollowSelection() {
    if (filling_)
        return;
    // A click on empty space keeps the entry that has the focus.
    if (lstVMessages_->selectedItems().isEmpty() && lstVMessages_->currentItem()) {
        lstVMessages_->currentItem()->setSelected(true);
        return;
    }
    if (SelectedEntry() == shownEntry_)
        return;
    SaveIfChanged();
    CorLoadMessage();
}

void TfrmAutoReply::btnNewClick() {
    // A pending edit belongs to the entry still shown, not to the new one.
    SaveIfChanged();
    SetBoxes({}, {});
    // Written at once, so an abandoned name edit leaves no gap in the numbering.
    const message_library::Added added = message_library::Append("New Message");
    QTreeWidgetItem* row = nullptr;
    {
        const QScopedValueRollback filling(filling_, true);
        row = new QTreeWidgetItem(lstVMessages_, {tr("New Message")});
        row->setData(0, Qt::UserRole, added.number);
        row->setFlags(row->flags() | Qt::ItemIsEditable);
        lstPaths_->addItem(QString::fromStdString(added.entry.fileName));
        lstVMessages_->setCurrentItem(row);
    }
    CorLoadMessage();  // makes the new entry's empty file
    QCoreApplication::processEvents();
    lstVMessages_->setFocus();
    lstVMessages_->editItem(row, 0);
}

void TfrmAutoReply::btnEditClick() {
    lstVMessages_->setFocus();
    if (QTreeWidgetItem* row = lstVMessages_->currentItem())
        lstVMessages_->editItem(row, 0);
}

void TfrmAutoReply::Rename(QTreeWidgetItem* item) {
    const int entry = item->data(0, Qt::UserRole).toInt();
    const QString name = item->text(0);
    const std::string old = FileOf(entry);
    const std::string renamed =
        memText_->toPlainText().isEmpty()
            ? message_library::MakeMessageFileName(name, 5, entry - 1, QDateTime::currentDateTime())
            : old;
    message_library::Rename(entry, {name.toStdString(), renamed});
    if (QListWidgetItem* line = lstPaths_->item(entry - 1))
        line->setText(QString::fromStdString(renamed));
    if (renamed != old) {
        // The subject lives in the file too: it moves to the new file before the old goes.
        if (entry == shownEntry_)
            CorSaveMessage();
        DeleteFile(old);
    }
    edtSubject_->setFocus();
}

void TfrmAutoReply::DeleteFile(const std::string& baseName) {
    if (!message_library::RemoveFile(baseName))
        ShowUserMessage(this,
                        tr("Unable to delete file -- ") +
                            QString::fromStdString(message_library::MessageFilePath(baseName)));
}

void TfrmAutoReply::btnDeleteClick() {
    if (!AskUserYesNo(this, tr("Are you sure you want to delete this item?")) || deleting_)
        return;
    const QScopedValueRollback deleting(deleting_, true);
    if (lstVMessages_->topLevelItemCount() == 0) {
        ShowUserMessage(this, tr("There is nothing to delete"));
        return;
    }
    const int entry = SelectedEntry();
    if (entry == 0) {
        ShowUserMessage(this, tr("Nothing is selected"));
        return;
    }
    const int position = lstVMessages_->indexOfTopLevelItem(lstVMessages_->selectedItems().front());
    QCoreApplication::processEvents();
    DeleteFile(FileOf(entry));
    message_library::Remove(entry);
    changed_ = false;
    shownEntry_ = 0;
    QCoreApplication::processEvents();
    PopulateMessageList();
    Reselect(position);
    CorLoadMessage();
}

void TfrmAutoReply::Reselect(int position) {
    const QScopedValueRollback filling(filling_, true);
    const int count = lstVMessages_->topLevelItemCount();
    if (count == 0)
        return;
    lstVMessages_->setCurrentItem(lstVMessages_->topLevelItem(std::min(position, count - 1)));
}

void TfrmAutoReply::InsertCode(const QString& code) {
    if (SelectedEntry() == 0)
        return;
    memText_->setFocus();
    QClipboard* clipboard = QApplication::clipboard();
    const QString kept = clipboard->text();
    clipboard->setText(code);
    memText_->paste();
    clipboard->setText(kept);
}

}  // namespace sievo
