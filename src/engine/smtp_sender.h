#pragma once

#include "engine/replies.h"
#include "mail/ms_smtp.h"

namespace sievo {

class DialUpLink;

// Sends replies and reports through the account's SMTP server, dialling first where the
// dial-up component asks for it.
class SmtpMailSender : public MailSender {
public:
    static constexpr int kTimeOutSeconds = 120;

    explicit SmtpMailSender(DialUpLink* dialUp);

    void SendMail(const TSievoUser& account, TmsMessage& message) override;
    void Cancel() override;

    TmsSMTP SMTP;
};

}  // namespace sievo
