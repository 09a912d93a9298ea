#include "engine/smtp_sender.h"

#include "mail/account_clients.h"

namespace sievo {

SmtpMailSender::SmtpMailSender(DialUpLink* dialUp) {
    SMTP.SetTimeOut(kTimeOutSeconds);
    SMTP.RAS = dialUp;
}

void SmtpMailSender::SendMail(const TSievoUser& account, TmsMessage& message) {
    ApplySmtpAccount(SMTP, account);
    SMTP.MailMessage = &message;
    SMTP.SendMail();  // ends with the log-out whatever happens, so the pointer can go
    SMTP.MailMessage = nullptr;
}

}  // namespace sievo
