#include "ui/messages/tell_friend_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "engine/smtp_sender.h"
#include "mail/message.h"
#include "store/accounts_store.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"

namespace sievo {

TfrmTellFriend::TfrmTellFriend(QWidget* parent)
    : QDialog(parent), edtAddress_(new QLineEdit(this)) {
    Name(this, "frmTellFriend", tr("Tell a Friend!"));
    setWindowTitle(tr("Tell a Friend!"));
    edtAddress_->setObjectName("edtAddress");
    auto* buttons = OkCancelButtons(this, tr("Send"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NoteLabel(tr("Use this option to tell your friends about Sievomatic"), this));
    layout->addWidget(NoteLabel(
        tr("Do you like this program?  Well then, tell a friend!  Since we don't use bulk e-mail "
           "(Spam) to advertise (of course) we rely on word of mouth to generate interest in "
           "our products."),
        this));
    layout->addWidget(NoteLabel(
        tr("Simply enter the person's e-mail address and a mail message will automatically be "
           "sent to him/her from you informing him of the product and a link will be provided "
           "on the message to download it."),
        this));
    layout->addWidget(
        BuddyLabel(tr("&Send a notification to the following e-mail address."), edtAddress_, this));
    layout->addWidget(edtAddress_);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

QString TfrmTellFriend::Address() const {
    return edtAddress_->text().trimmed();
}

namespace {

// Sends tell.eml to the address; false when there was no server to send it through.
bool SendRecommendation(const std::string& address, DialUpLink* dialUp, QWidget* parent) {
    ActivityLog("Mentioning Sievo to " + address);
    const TSievoUser account = accounts::ForCheck(1);
    TmsMessage message;
    message.LoadFromFile(ProgramFile("tell.eml"));
    message.Recipients().Clear();
    message.Recipients().Add(address, "");
    message.Sender().SetAddress(account.EMailAddr);
    if (account.SMTPAddress.empty())
        return false;
    SmtpMailSender smtp(dialUp);
    try {
        smtp.SendMail(account, message);
    } catch (const std::exception& error) {
        ShowUserMessage(parent, QObject::tr("Error sending see log file"));
        AppException(error);
    }
    return true;
}

}  // namespace

void PROCTellAFriend(DialUpLink* dialUp, QWidget* parent) {
    TfrmTellFriend dialog(parent);
    const bool send = dialog.exec() == QDialog::Accepted;
    const std::string address = dialog.Address().toStdString();
    if (send && address.empty()) {
        ShowUserMessage(parent, QObject::tr("You must enter a valid email address to send to."));
    } else if (send && !SendRecommendation(address, dialUp, parent)) {
        // Thanking the user here would say the message went out; it did not.
        ShowUserMessage(parent, QObject::tr("nothing was sent: no account with an SMTP server"));
        return;
    }
    ShowUserMessage(parent, QObject::tr("Thank you for you support!"));
}

}  // namespace sievo
