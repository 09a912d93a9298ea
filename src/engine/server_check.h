#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

#include "net/ms_mail_base.h"

namespace sievo {

class TSievoUser;

// The "Test" of Account Settings: logs in to the account's POP3 server and, when one is
// set, its SMTP server, and says in one line each what worked and what did not. The waits
// pump events; Cancel ends the test at once.
class ServerCheck {
public:
    static constexpr int kTimeOutSeconds = 20;

    QString Run(const TSievoUser& account);
    void Cancel();
    bool Running() const { return running_ != nullptr; }

private:
    // Applies the account's settings and logs in and out; the failure's text, or nothing.
    std::optional<QString> Attempt(TmsMailBase& client, const std::function<void()>& apply);
    QString CheckPop(const TSievoUser& account);
    QString CheckSmtp(const TSievoUser& account);

    QPointer<TagSocket> running_;
};

}  // namespace sievo
