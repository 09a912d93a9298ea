#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "config/account.h"
#include "engine/replies.h"
#include "mail/message.h"

namespace sievo::testing {

// Keeps what would have been sent; fails every send when told to.
class RecordingSender : public MailSender {
public:
    void SendMail(const TSievoUser& account, TmsMessage& message) override {
        if (fail)
            throw std::runtime_error("550 no such user");
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
    bool fail = false;
};

}  // namespace sievo::testing
