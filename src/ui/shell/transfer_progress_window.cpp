#include "ui/shell/transfer_progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "ui/common/widget_names.h"

namespace sievo {

TransferProgressWindow::TransferProgressWindow(QWidget* parent)
    : QDialog(parent), lblBytes_(new QLabel(this)), prgTransfer_(new QProgressBar(this)) {
    Name(this, "frmUpdateProgress", tr("Sievo AutoUpdate"));
    setWindowTitle(tr("Sievo AutoUpdate"));
    auto* lblTransfer = new QLabel(tr("Transfer Progress"), this);
    Name(lblTransfer, "lblTransfer", tr("Transfer Progress"));
    Name(lblBytes_, "lblBytes", tr("Bytes transferred"));
    Name(prgTransfer_, "prgTransfer", tr("Transfer progress"));
    lblBytes_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblBytes_->setMinimumWidth(240);
    prgTransfer_->setRange(0, 100);
    prgTransfer_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTransfer);
    layout->addWidget(lblBytes_);
    layout->addWidget(prgTransfer_);
}

void TransferProgressWindow::SetProgress(int percent, std::int64_t bytes) {
    lblBytes_->setText(tr("%1 bytes transferred").arg(bytes));
    prgTransfer_->setVisible(percent != -1);
    if (percent != -1)
        prgTransfer_->setValue(percent);
}

}  // namespace sievo
