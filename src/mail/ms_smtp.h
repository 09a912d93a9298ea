#pragma once

#include <QTemporaryFile>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "mail/message.h"
#include "mail/smtp_extensions.h"
#include "net/ms_mail_base.h"

namespace sievo {

// Sends one message to an SMTP server. Plain accounts are greeted with HELO exactly as
// the program always did; an account with TLS or a log-in is greeted with EHLO, starts
// TLS as asked and authenticates with AUTH PLAIN or LOGIN.
class TmsSMTP : public TmsMailBase {
public:
    static constexpr std::uint16_t kSmtpPort = 25;
    static constexpr std::uint16_t kSmtpsPort = 465;

    explicit TmsSMTP(QObject* parent = nullptr);

    // The message to send; not owned, and must outlive every send.
    TmsMessage* MailMessage = nullptr;

    // Log-in for servers that want one; empty for none.
    std::string UserName;
    std::string Password;
    // Lets the password go over a connection without TLS; only for an account whose
    // security the user set to "NONE" on purpose.
    bool AllowPlainTextAuth = false;

    TmsNotifyEvent OnPrepare;
    TmsNotifyEvent OnSending;
    TmsNotifyEvent OnMailSent;

    void Open() override;
    // Greeting and HELO, or EHLO with STARTTLS and AUTH as the settings ask.
    void Login() override;
    void Logout() override;

    // The mail transaction for `MailMessage` on an open connection.
    void TransmitMessage();
    // Connects, logs in, transmits and always logs out. When the transaction failed, that
    // failure is what the caller sees, not a failure of the log-out after it. Once the
    // server has accepted the message, a failed log-out is reported through OnError only:
    // the message went out.
    void SendMail();
    // Whether the last transaction got as far as sending the end of the message data, after
    // which the server may have accepted it even if its answer never arrived.
    bool EndOfDataSent() const { return endOfDataSent_; }

private:
    bool Extended() const;
    void GreetWithHelo();
    void GreetWithEhlo();
    SmtpCapabilities Ehlo();
    void StartTlsSession(const SmtpCapabilities& capabilities);
    void Authenticate(const SmtpCapabilities& capabilities);
    // Reads a reply; a code not among `codes` raises `EServerError` with its last line.
    void RequireCode(std::initializer_list<int> codes);
    // `EServerError` with the last reply line, or the closed connection named as such.
    [[noreturn]] void RaiseReplyError();
    void Command(const std::string& text, std::initializer_list<int> codes);
    std::vector<std::string> ReadReplyLines();
    // Every envelope address is a single line, checked before anything is sent.
    void RequireSingleLineAddresses();
    std::unique_ptr<QTemporaryFile> WriteSpool();
    void SendRecipients(const TmsAddressList& list);
    // Logs out; a failure is reported through OnError and goes no further.
    void EndQuietly();
    [[noreturn]] void FailTlsClosed(const std::string& reason);

    bool endOfDataSent_ = false;
};

}  // namespace sievo
