#pragma once

#include "config/errors.h"

namespace sievo {

class TmsMessage;
class TSievoRule;
class TSievoUser;
class TSievoMessage;

// A send that surely did not reach the server: it failed before the end of the message
// data went out, so trying again later cannot deliver the message twice.
class MailNotSentError : public Exception {
public:
    using Exception::Exception;
};

// Sends one finished message through the account's SMTP server. Raises MailNotSentError
// when the message surely did not go out; any other error leaves that open.
class MailSender {
public:
    virtual ~MailSender() = default;
    virtual void SendMail(const TSievoUser& account, TmsMessage& message) = 0;
    // Ends a send that is under way at once; it raises its cancel error.
    virtual void Cancel() {}
};

// Answers the sender with the rule's reply message; true when it was handed to `smtp`,
// false when there was nothing to send (no file named, no sender, no SMTP server). A
// message file that cannot be read and a failed send raise.
bool PROCSendReply(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                   const TSievoMessage& message);

// Sends the rule's report message to "abuse" at the sender's domain, from the program's
// own placeholder address; as PROCSendReply otherwise.
bool PROCSendReport(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                    const TSievoMessage& message);

// The sender address of reports: fixed, valid, never the user's.
inline constexpr const char* kReportSenderAddress = "reports@sievo.test";

}  // namespace sievo
