#include "ui/accounts/incoming_server_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "config/text.h"
#include "store/accounts_store.h"
#include "ui/accounts/security_choice.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

constexpr const char* kInbox = "INBOX";

QLineEdit* NewField(const char* objectName, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    return field;
}

std::string Trimmed(const QComboBox* box) {
    return box->currentText().trimmed().toStdString();
}

}  // namespace

IncomingServerBox::IncomingServerBox(QWidget* parent)
    : QGroupBox(tr("Incoming server"), parent),
      cboProtocol_(new QComboBox(this)),
      edtPOPAddress_(NewField("edtPOPAddress", this)),
      edtPOPUser_(NewField("edtPOPUser", this)),
      edtPassword_(NewField("edtPassword", this)),
      cboPOPSecurity_(NewSecurityBox("cboPOPSecurity", this)),
      cboIMAPFolder_(FolderBox("cboIMAPFolder")),
      cboSpamFolder_(FolderBox("cboSpamFolder")),
      chkExpungeSpam_(
          new QCheckBox(tr("&Delete for good instead of moving to the spam folder"), this)) {
    setObjectName("grpIncoming");
    cboProtocol_->setObjectName("cboProtocol");
    cboProtocol_->addItem(tr("POP3"), QStringLiteral("POP3"));
    cboProtocol_->addItem(tr("IMAP"), QStringLiteral("IMAP"));
    edtPassword_->setEchoMode(QLineEdit::Password);
    // Empty: the server's own junk folder, or one named Junk.
    cboSpamFolder_->lineEdit()->setPlaceholderText(tr("the server's junk folder"));
    Name(chkExpungeSpam_, "chkExpungeSpam",
         tr("Delete for good instead of moving to the spam folder"));
    connect(cboProtocol_, &QComboBox::currentIndexChanged, this, &IncomingServerBox::ApplyProtocol);
    // A choice the user makes names the security, None included.
    connect(cboPOPSecurity_, &QComboBox::activated, this, [this] { securityNamed_ = true; });

    auto* form = new QFormLayout(this);
    form->addRow(BuddyLabel(tr("&Protocol:"), cboProtocol_, this), cboProtocol_);
    form->addRow(BuddyLabel(tr("&Incoming Server:"), edtPOPAddress_, this), edtPOPAddress_);
    form->addRow(BuddyLabel(tr("Logon &Username:"), edtPOPUser_, this), edtPOPUser_);
    form->addRow(BuddyLabel(tr("&Mail Password:"), edtPassword_, this), edtPassword_);
    form->addRow(BuddyLabel(tr("Se&curity:"), cboPOPSecurity_, this), cboPOPSecurity_);
    auto* lblFolder = BuddyLabel(tr("Folder to &judge:"), cboIMAPFolder_, this);
    auto* lblSpam = BuddyLabel(tr("Sp&am folder:"), cboSpamFolder_, this);
    form->addRow(lblFolder, cboIMAPFolder_);
    form->addRow(lblSpam, cboSpamFolder_);
    form->addRow(chkExpungeSpam_);
    imapOnly_ = {lblFolder, cboIMAPFolder_, lblSpam, cboSpamFolder_, chkExpungeSpam_};
    ApplyProtocol();
}

QComboBox* IncomingServerBox::FolderBox(const char* objectName) {
    auto* box = new QComboBox(this);
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

bool IncomingServerBox::Imap() const {
    return cboProtocol_->currentData().toString() == QStringLiteral("IMAP");
}

void IncomingServerBox::ApplyProtocol() {
    for (QWidget* widget : imapOnly_)
        widget->setEnabled(Imap());
}

void IncomingServerBox::Load(const StoredAccount& account) {
    cboProtocol_->setCurrentIndex(account.IsImap() ? 1 : 0);
    edtPOPAddress_->setText(QString::fromStdString(account.popAddress));
    edtPOPUser_->setText(QString::fromStdString(account.popUser));
    edtPassword_->setText(QString::fromStdString(account.password));
    SelectSecurity(cboPOPSecurity_, account.popSecurity.value_or("NONE"));
    securityNamed_ = account.PopSecurityNamed();
    cboIMAPFolder_->setEditText(QString::fromStdString(account.imapFolder));
    cboSpamFolder_->setEditText(QString::fromStdString(account.spamFolder));
    SetServerFolders({kInbox});
    chkExpungeSpam_->setChecked(account.expungeSpam);
}

void IncomingServerBox::Store(StoredAccount& account) const {
    // A POP3 account that never named its protocol keeps the file as it was.
    if (Imap() || account.protocol)
        account.protocol = Imap() ? "IMAP" : "POP3";
    account.popAddress = edtPOPAddress_->text().toStdString();
    account.popUser = edtPOPUser_->text().toStdString();
    account.password = edtPassword_->text().toStdString();
    if (securityNamed_ || SecurityKey(cboPOPSecurity_) != "NONE")
        account.popSecurity = SecurityKey(cboPOPSecurity_);
    if (!Imap())
        return;
    account.imapFolder = Trimmed(cboIMAPFolder_).empty() ? kInbox : Trimmed(cboIMAPFolder_);
    account.spamFolder = Trimmed(cboSpamFolder_);
    account.expungeSpam = chkExpungeSpam_->isChecked();
}

void IncomingServerBox::SetServerFolders(std::vector<std::string> folders) {
    // The inbox first, where people look for it; the others in the server's order.
    std::stable_partition(folders.begin(), folders.end(),
                          [](const std::string& name) { return ToUpperAscii(name) == kInbox; });
    for (QComboBox* box : {cboIMAPFolder_, cboSpamFolder_}) {
        const QString shown = box->currentText();
        box->clear();
        // The spam folder's empty choice is the server's junk folder.
        if (box == cboSpamFolder_)
            box->addItem(QString());
        for (const std::string& folder : folders)
            box->addItem(QString::fromStdString(folder));
        const int at = box->findText(shown);
        if (at >= 0)
            box->setCurrentIndex(at);
        else
            box->setEditText(shown);
    }
}

void IncomingServerBox::AddPasswordNote(QWidget* note) {
    auto* form = static_cast<QFormLayout*>(layout());
    int row = 0;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(edtPassword_, &row, &role);
    form->insertRow(row + 1, QString(), note);
}

std::vector<QWidget*> IncomingServerBox::TabOrder() const {
    return {cboProtocol_,    edtPOPAddress_, edtPOPUser_,    edtPassword_,
            cboPOPSecurity_, cboIMAPFolder_, cboSpamFolder_, chkExpungeSpam_};
}

}  // namespace sievo
