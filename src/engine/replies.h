#pragma once

namespace sievo {

class TmsMessage;
class TSievoRule;
class TSievoUser;
class TSievoMessage;

// Sends one finished message through the account's SMTP server.
class MailSender {
public:
    virtual ~MailSender() = default;
    virtual void SendMail(const TSievoUser& account, TmsMessage& message) = 0;
};

// Answers the sender with the rule's reply message; true when it went out. Errors of the
// sending are reported through AppException and end the call normally; a missing message
// file raises.
bool PROCSendReply(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                   const TSievoMessage& message);

// Sends the rule's report message to "abuse" at the sender's domain, from the program's
// own placeholder address; true when it went out.
bool PROCSendReport(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                    const TSievoMessage& message);

// The sender address of reports: fixed, valid, never the user's.
inline constexpr const char* kReportSenderAddress = "reports@sievo.test";

}  // namespace sievo
