#include "ui/preview/preview_window.h"

#include <QAction>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/shell/main_window.h"
#include "ui/shell/web_services.h"

namespace sievo {

namespace {

constexpr int kColumnWidths[PreviewListModel::kColumnCount] = {180, 80, 100, 140};
// The Cancel/Start button keeps this distance from the window's right edge.
constexpr int kRightMargin = 20;

QPushButton* Button(QWidget* parent, const QString& text, const char* objectName,
                    const QString& accessibleName) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    Name(button, objectName, accessibleName);
    return button;
}

}  // namespace

TfrmPrev::TfrmPrev(TfrmMessageView& viewer, PreviewCommands commands, QWidget* parent)
    : QDialog(parent),
      viewer_(viewer),
      commands_(std::move(commands)),
      model_(this),
      lblStatus_(new QLabel(this)),
      lblNum_(new QLabel(this)),
      lstVRem_(new QTreeView(this)),
      prgHeaders_(new QProgressBar(this)),
      btnCancel_(Button(this, tr("Cancel"), "btnCancel", tr("Cancel or start the download"))),
      mnuList_(new QMenu(this)),
      session_(commands_.prepareConnection, SessionEvents()) {
    Name(this, "frmPrev", tr("Mail Preview Center"));
    setWindowTitle(tr("Mail Preview Center"));
    BuildWindow();
    BuildPopupMenu();
}

void TfrmPrev::BuildWindow() {
    auto* lblTitle = new QLabel(tr("Welcome to the Sievo Mail Preview Center"), this);
    Name(lblTitle, "lblTitle", lblTitle->text());
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    Name(lblStatus_, "lblStatus", tr("Status"));
    Name(lblNum_, "lblNum", tr("Messages listed"));
    for (QLabel* label : {lblStatus_, lblNum_})
        label->setTextFormat(Qt::PlainText);
    Name(prgHeaders_, "prgHeaders", tr("Download progress"));
    prgHeaders_->hide();
    btnCancel_->hide();
    connect(btnCancel_, &QPushButton::clicked, this,
            [this] { Command([this] { btnCancelClick(); }); });

    Name(lstVRem_, "lstVRem", tr("Waiting messages"));
    lstVRem_->setModel(&model_);
    lstVRem_->setRootIsDecorated(false);
    lstVRem_->setUniformRowHeights(true);
    lstVRem_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstVRem_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstVRem_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstVRem_->header()->setSectionsClickable(false);
    lstVRem_->header()->setSectionsMovable(false);
    for (int column = 0; column < PreviewListModel::kColumnCount; ++column)
        lstVRem_->header()->resizeSection(column, kColumnWidths[column]);
    connect(lstVRem_, &QTreeView::doubleClicked, this,
            [this] { Command([this] { ViewMessage(); }); });

    auto* progress = new QHBoxLayout;
    progress->addWidget(prgHeaders_, 1);
    progress->addWidget(btnCancel_);
    auto* list = new QVBoxLayout;
    list->addWidget(lblTitle);
    list->addWidget(lblStatus_);
    list->addWidget(lblNum_);
    list->addWidget(lstVRem_, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(list, 1);
    body->addWidget(BuildSideButtons());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(progress);
    progress->setContentsMargins(0, 0,
                                 std::max(0, kRightMargin - layout->contentsMargins().right()), 0);
    resize(720, 420);
}

QWidget* TfrmPrev::BuildSideButtons() {
    auto* side = new QWidget(this);
    auto* btnClean = Button(side, tr("Clean &MailBox"), "btnClean", tr("Clean MailBox"));
    auto* btnLaunch =
        Button(side, tr("&Launch Mail Client"), "btnLaunch", tr("Launch Mail Client"));
    auto* btnHelp = Button(side, tr("&Help..."), "btnHelp", tr("Help"));
    auto* btnClose = Button(side, tr("&Close"), "btnClose", tr("Close"));
    connect(btnClean, &QPushButton::clicked, this,
            [this] { Command([this] { btnCleanClick(); }); });
    connect(btnLaunch, &QPushButton::clicked, this,
            [this] { Command([this] { btnLaunchClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this,
            [this] { Command([] { OpenHelpTopic("Mail_Preview_Center"); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button : {btnClean, btnLaunch, btnHelp})
        layout->addWidget(button);
    layout->addStretch();
    layout->addWidget(btnClose);
    setTabOrder(lstVRem_, btnClean);
    setTabOrder(btnClean, btnLaunch);
    setTabOrder(btnLaunch, btnHelp);
    setTabOrder(btnHelp, btnClose);
    setTabOrder(btnClose, btnCancel_);
    return side;
}

void TfrmPrev::BuildPopupMenu() {
    mnuList_->setObjectName("mnuList");
    const struct {
        const char* objectName;
        QString text;
        QKeySequence keys;
        void (TfrmPrev::*command)();
    } items[] = {
        {"mnuView", tr("&View Message..."), Qt::Key_Return, &TfrmPrev::ViewMessage},
        {"mnuDelete", tr("&Delete All Checked Items..."), QKeySequence::Delete,
         &TfrmPrev::DeleteCheckedItems},
        {"mnuQuickAdd", tr("&Quick Add This Address to Sieving List..."), {}, &TfrmPrev::QuickAdd},
    };
    for (const auto& item : items) {
        QAction* action = mnuList_->addAction(item.text);
        action->setObjectName(item.objectName);
        // The keys work in the list while its menu is on.
        action->setShortcut(item.keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        lstVRem_->addAction(action);
        connect(action, &QAction::triggered, this, [this, command = item.command] {
            Command([this, command] { (this->*command)(); });
        });
    }
    lstVRem_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstVRem_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (popupEnabled_)
            mnuList_->popup(lstVRem_->viewport()->mapToGlobal(at));
    });
    SetPopupEnabled(false);
}

void TfrmPrev::Command(const std::function<void()>& command) {
    Guarded(command);
}

void TfrmPrev::SetStatus(const std::string& text) {
    lblStatus_->setText(QString::fromStdString(text));
}

void TfrmPrev::SetPopupEnabled(bool enabled) {
    popupEnabled_ = enabled;
    for (QAction* action : mnuList_->actions())
        action->setEnabled(enabled);
}

int TfrmPrev::SelectedIndex() const {
    const QModelIndexList rows = lstVRem_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : model_.Row(rows.front().row()).index;
}

void TfrmPrev::Open(const TSievoUser& account) {
    show();
    raise();
    activateWindow();
    SetPopupEnabled(false);
    lstVRem_->setFocus();
    DownloadHeaders(account);
}

void TfrmPrev::QuickAdd() {
    const QModelIndexList rows = lstVRem_->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        commands_.quickAdd(model_.Row(rows.front().row()).from);
}

void TfrmPrev::btnCancelClick() {
    if (btnCancel_->text() == tr("Cancel")) {
        session_.CancelListing();
        btnCancel_->setText(tr("Start"));
        prgHeaders_->hide();
        return;
    }
    if (!session_.Account())
        return;
    btnCancel_->setText(tr("Cancel"));
    SetStatus("Preview Restarted");
    DownloadHeaders(*session_.Account());
}

void TfrmPrev::btnCleanClick() {
    commands_.cleanNow();
    if (session_.Account())
        DownloadHeaders(*session_.Account());
}

void TfrmPrev::btnLaunchClick() {
    const auto& account = session_.Account();
    if (account && !commands_.launchMailClient(*account))
        ShowUserMessage(
            nullptr,
            tr("Your mail program could not be launched, please be sure it is set up properly"));
}

}  // namespace sievo
