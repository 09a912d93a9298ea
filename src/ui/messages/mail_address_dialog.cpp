#include "ui/messages/mail_address_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "mail/mail_address.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/widget_names.h"

namespace sievo {

TMailAddressDlg::TMailAddressDlg(const TmsMailAddress& address, QWidget* parent)
    : QDialog(parent), NameEdit_(new QLineEdit(this)), AddressEdit_(new QLineEdit(this)) {
    Name(this, "MailAddressDlg", tr("Mail Address"));
    setWindowTitle(tr("Mail Address"));
    NameEdit_->setObjectName("NameEdit");
    AddressEdit_->setObjectName("AddressEdit");
    NameEdit_->setText(QString::fromStdString(address.Name()));
    AddressEdit_->setText(QString::fromStdString(address.Address()));
    auto* layout = new QFormLayout(this);
    layout->addRow(BuddyLabel(tr("&Name:"), NameEdit_, this), NameEdit_);
    layout->addRow(BuddyLabel(tr("&Address:"), AddressEdit_, this), AddressEdit_);
    layout->addRow(OkCancelButtons(this));
    setMinimumWidth(360);
}

TmsMailAddress TMailAddressDlg::Result() const {
    return TmsMailAddress(AddressEdit_->text().toStdString(), NameEdit_->text().toStdString());
}

bool EditMailAddress(TmsMailAddress& address, QWidget* parent) {
    TMailAddressDlg dialog(address, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    address = dialog.Result();
    return true;
}

}  // namespace sievo
