#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sievo {

class TSievoUser;

// The "Test" of Account Settings: logs in to the account's mailbox and, when one is set,
// its SMTP server, and says in one line each what worked and what did not; for an IMAP
// mailbox it also learns the folders to choose from. The waits pump events; Cancel ends
// the test at once.
class ServerCheck {
public:
    static constexpr int kTimeOutSeconds = 20;

    QString Run(const TSievoUser& account);
    void Cancel();
    bool Running() const { return static_cast<bool>(cancel_); }
    // The mailbox's folders as the last Run found them; none for POP3 or a failed log-in.
    const std::vector<std::string>& Folders() const { return folders_; }

private:
    // Runs one log-in and out, which `cancel` ends; the failure's text, or nothing.
    std::optional<QString> Attempt(const std::function<void()>& attempt,
                                   std::function<void()> cancel);
    QString CheckMailbox(const TSievoUser& account);
    QString CheckSmtp(const TSievoUser& account);

    std::function<void()> cancel_;
    std::vector<std::string> folders_;
};

}  // namespace sievo
