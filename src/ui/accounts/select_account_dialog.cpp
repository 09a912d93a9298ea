#include "ui/accounts/select_account_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/accounts/account_list.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/widget_names.h"

namespace sievo {

TfrmSelectAccount::TfrmSelectAccount(QWidget* parent)
    : QDialog(parent), lstVAccounts_(NewAccountListView("lstVAccounts", this)) {
    Name(this, "frmSelectAccount", tr("Select Account"));
    setWindowTitle(tr("Select Account"));
    connect(lstVAccounts_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NoteLabel(
        tr("You have multiple e-mail accounts.  Which account do you want to preview?"), this));
    layout->addWidget(lstVAccounts_, 1);
    layout->addWidget(OkCancelButtons(this));
    PROCFillAccountList(*lstVAccounts_);
    resize(560, 260);
}

int TfrmSelectAccount::RowCount() const {
    return lstVAccounts_->topLevelItemCount();
}

int TfrmSelectAccount::Chosen() const {
    const QModelIndex current = lstVAccounts_->currentIndex();
    if (!current.isValid() || !lstVAccounts_->selectionModel()->isSelected(current))
        return -1;
    return current.row() + 1;
}

int FINTSelectAccount(QWidget* parent) {
    TfrmSelectAccount select(parent);
    if (select.RowCount() < 2)
        return 1;
    return select.exec() == QDialog::Accepted ? select.Chosen() : -1;
}

}  // namespace sievo
