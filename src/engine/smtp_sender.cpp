#include "engine/smtp_sender.h"

#include <QScopeGuard>

#include "config/activity_log.h"
#include "mail/account_clients.h"

namespace sievo {

SmtpMailSender::SmtpMailSender(DialUpLink* dialUp) {
    SMTP.SetTimeOut(kTimeOutSeconds);
    SMTP.RAS = dialUp;
    // The failures that end a send reach the caller; this line also tells of a log-out
    // that failed after the message was accepted.
    SMTP.OnError = [](TagSocket&, const std::string& text) { ActivityLog(text, true); };
}

void SmtpMailSender::SendMail(const TSievoUser& account, TmsMessage& message) {
    ApplySmtpAccount(SMTP, account);
    SMTP.MailMessage = &message;
    const auto forget = qScopeGuard([this] { SMTP.MailMessage = nullptr; });
    try {
        SMTP.SendMail();  // ends with the log-out whatever happens
    } catch (const std::exception& error) {
        if (!SMTP.EndOfDataSent())
            throw MailNotSentError(error.what());
        throw;
    }
}

void SmtpMailSender::Cancel() {
    if (SMTP.Connected())
        SMTP.Cancel();
}

}  // namespace sievo
