#include "engine/server_check.h"

#include <QObject>
#include <QScopeGuard>
#include <memory>

#include "config/account.h"
#include "mail/account_clients.h"
#include "mail/mailbox_session.h"

namespace sievo {

namespace {

QString SecurityName(TlsMode mode) {
    switch (mode) {
        case TlsMode::Ssl:
            return QObject::tr("SSL/TLS");
        case TlsMode::StartTls:
            return QObject::tr("STARTTLS");
        case TlsMode::None:
            break;
    }
    return QObject::tr("no encryption");
}

}  // namespace

QString ServerCheck::Run(const TSievoUser& account) {
    folders_.clear();
    return CheckMailbox(account) + '\n' + CheckSmtp(account);
}

std::optional<QString> ServerCheck::Attempt(const std::function<void()>& attempt,
                                            std::function<void()> cancel) {
    cancel_ = std::move(cancel);
    const auto idle = qScopeGuard([this] { cancel_ = nullptr; });
    try {
        attempt();
        return std::nullopt;
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
}

QString ServerCheck::CheckMailbox(const TSievoUser& account) {
    const QString server = QString::fromStdString(account.POPAddress);
    std::unique_ptr<MailboxSession> session;
    const auto failure = Attempt(
        [&] {
            session = MakeMailboxSession(account);  // an unknown security text fails here
            session->SetTimeOut(kTimeOutSeconds);
            session->Connect();
            folders_ = session->Folders();
            session->Commit();
        },
        [&session] {
            if (session)
                session->Cancel();
        });
    const QString protocol = QString::fromStdString(account.Protocol);
    if (failure)
        return QObject::tr("%1 server %2: FAILED: %3").arg(protocol, server, *failure);
    const TlsMode security = ParseTlsMode(account.POPSecurity).value_or(TlsMode::None);
    return QObject::tr("%1 server %2: logged in (%3).")
        .arg(protocol, server, SecurityName(security));
}

QString ServerCheck::CheckSmtp(const TSievoUser& account) {
    if (account.SMTPAddress.empty())
        return QObject::tr("SMTP server: none set, not tested.");
    const QString server = QString::fromStdString(account.SMTPAddress);
    TmsSMTP smtp;
    smtp.SetTimeOut(kTimeOutSeconds);
    const auto failure = Attempt(
        [&] {
            ApplySmtpAccount(smtp, account);  // an unknown security text fails here
            smtp.ConnectAndLogin();
            smtp.LogoutAndClose();
        },
        [&smtp] { smtp.Cancel(); });
    if (failure)
        return QObject::tr("SMTP server %1: FAILED: %2").arg(server, *failure);
    const QString login = account.SMTPUser.empty() ? QObject::tr("connected, no log-in needed")
                                                   : QObject::tr("logged in");
    return QObject::tr("SMTP server %1: %2 (%3).").arg(server, login, SecurityName(smtp.Security));
}

void ServerCheck::Cancel() {
    if (cancel_)
        cancel_();
}

}  // namespace sievo
