#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/account.h"
#include "engine/replies.h"
#include "mail/message.h"

namespace sievo::testing {

// Keeps what would have been sent; fails every send when told to, before the message
// data went out (surely not sent) or after it (perhaps delivered).
class RecordingSender : public MailSender {
public:
    enum Failure { kNone, kBeforeData, kAfterData };

    void SendMail(const TSievoUser& account, TmsMessage& message) override {
        ++attempts;
        if (onSend)
            onSend();
        if (failure == kBeforeData)
            throw MailNotSentError("Connection refused");
        if (failure == kAfterData)
            throw std::runtime_error("Connection closed before the end of the data");
        Sent sent{
            account.SMTPAddress, message.Sender().Address(), {}, message.Subject(), message.Body()};
        for (const auto& recipient : message.Recipients())
            sent.recipients.push_back(recipient.Name() + " <" + recipient.Address() + ">");
        mails.push_back(sent);
    }
    struct Sent {
        std::string server, sender;
        std::vector<std::string> recipients;
        std::string subject;
        std::vector<std::string> body;
    };
    std::vector<Sent> mails;
    int attempts = 0;
    Failure failure = kNone;
    std::function<void()> onSend;
};

}  // namespace sievo::testing
