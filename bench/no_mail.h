#pragma once

#include "engine/replies.h"

namespace sievo::bench {

// Sends nothing: a benchmark of the judging measures the judging.
class NoMail : public MailSender {
public:
    void SendMail(const TSievoUser&, TmsMessage&) override {}
};

}  // namespace sievo::bench
