#include "ui/deletion_confirm_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/widget_names.h"

namespace sievo {

namespace {

constexpr int kColumnWidths[] = {180, 140, 100};

}  // namespace

TfrmDeletePrev::TfrmDeletePrev(const std::vector<DeletionRow>& rows, QWidget* parent)
    : QDialog(parent), lstVRem_(new QTreeWidget(this)) {
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
    }

    auto* btnContinue = new QPushButton(tr("Continue"), this);
    auto* btnKeep =
        new QPushButton(tr("Don't delete anything I'll Deal with this later  (esc.)"), this);
    Name(btnContinue, "btnContinue", tr("Continue"));
    Name(btnKeep, "btnKeep", tr("Don't delete anything"));
    btnContinue->setDefault(true);
    connect(btnContinue, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnKeep, &QPushButton::clicked, this, &TfrmDeletePrev::KeepAll);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnKeep);
    buttons->addStretch();
    buttons->addWidget(btnContinue);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addWidget(lstVRem_, 1);
    layout->addWidget(lblWarning);
    layout->addLayout(buttons);
    resize(480, 320);
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

void TfrmDeletePrev::KeepAll() {
    for (int i = 0; i < lstVRem_->topLevelItemCount(); ++i)
        lstVRem_->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    accept();
}

}  // namespace sievo
