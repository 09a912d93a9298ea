#include "ui/shell/deletion_confirm_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/activity_log.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

constexpr int kColumnWidths[] = {180, 140, 100};

}  // namespace

TfrmDeletePrev::TfrmDeletePrev(const std::vector<DeletionRow>& rows,
                               std::function<void(int index)> viewMessage, QWidget* parent)
    : QDialog(parent), lstVRem_(new QTreeWidget(this)), viewMessage_(std::move(viewMessage)) {
    Name(this, "frmDeletePrev", tr("Preview Message Before Deletion"));
    setWindowTitle(tr("Sievomatic  --  Preview Message Before Deletion"));
    auto* lblIntro = new QLabel(
        tr("You have requested that the following messages be previewed before deletion, "
           "please uncheck the items that you wish to save.  When ready press 'Continue'."),
        this);
    auto* lblWarning = new QLabel(tr("WARNING: Checked items will be deleted. "), this);
    lblIntro->setWordWrap(true);
    Name(lblIntro, "lblIntro", lblIntro->text());
    Name(lblWarning, "lblWarning", lblWarning->text());

    Name(lstVRem_, "lstVRem", tr("Messages to be deleted"));
    lstVRem_->setHeaderLabels({tr("Subject"), tr("From"), tr("Date / Time")});
    lstVRem_->setRootIsDecorated(false);
    for (int column = 0; column < 3; ++column)
        lstVRem_->header()->resizeSection(column, kColumnWidths[column]);
    for (const auto& row : rows) {
        auto* item = new QTreeWidgetItem(
            lstVRem_, {QString::fromStdString(row.subject), QString::fromStdString(row.from),
                       QString::fromStdString(row.date)});
        item->setCheckState(0, Qt::Checked);
        item->setData(0, Qt::UserRole, row.index);
    }
    connect(lstVRem_, &QTreeWidget::itemDoubleClicked, this, &TfrmDeletePrev::ViewCurrent);

    auto* btnView = new QPushButton(tr("&View Message..."), this);
    Name(btnView, "btnView", tr("View Message"));
    btnView->setVisible(static_cast<bool>(viewMessage_));
    connect(btnView, &QPushButton::clicked, this, &TfrmDeletePrev::ViewCurrent);
    auto* btnContinue = new QPushButton(tr("Continue"), this);
    auto* btnKeep =
        new QPushButton(tr("Don't delete anything I'll Deal with this later  (esc.)"), this);
    Name(btnContinue, "btnContinue", tr("Continue"));
    Name(btnKeep, "btnKeep", tr("Don't delete anything"));
    btnContinue->setDefault(true);
    connect(btnContinue, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnKeep, &QPushButton::clicked, this, &TfrmDeletePrev::KeepAll);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnView);
    buttons->addWidget(btnKeep);
    buttons->addStretch();
    buttons->addWidget(btnContinue);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addWidget(lstVRem_, 1);
    layout->addWidget(lblWarning);
    layout->addLayout(buttons);
    setTabOrder(lstVRem_, btnView);
    setTabOrder(btnView, btnKeep);
    setTabOrder(btnKeep, btnContinue);
    resize(560, 320);
}

std::vector<bool> TfrmDeletePrev::Ticked() const {
    std::vector<bool> ticked;
    for (int i = 0; i < lstVRem_->topLevelItemCount(); ++i)
        ticked.push_back(lstVRem_->topLevelItem(i)->checkState(0) == Qt::Checked);
    return ticked;
}

void TfrmDeletePrev::reject() {
    KeepAll();
}

void TfrmDeletePrev::ViewCurrent() {
    const QTreeWidgetItem* item = lstVRem_->currentItem();
    if (!item || !viewMessage_)
        return;
    try {
        viewMessage_(item->data(0, Qt::UserRole).toInt());
    } catch (const std::exception& error) {
        AppException(error);
    }
}

void TfrmDeletePrev::KeepAll() {
    for (int i = 0; i < lstVRem_->topLevelItemCount(); ++i)
        lstVRem_->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    accept();
}

}  // namespace sievo
