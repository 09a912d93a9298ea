#include "ui/accounts/server_check.h"

#include <QObject>

#include "config/account.h"
#include "mail/account_clients.h"

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

// Logs in with the client and out again; the failure's text, or nothing.
std::optional<QString> LoginFailure(TmsMailBase& client) {
    try {
        client.ConnectAndLogin();
        client.LogoutAndClose();
        return std::nullopt;
    } catch (const std::exception& error) {
        client.Close();
        return QString::fromStdString(error.what());
    }
}

}  // namespace

QString ServerCheck::Run(const TSievoUser& account) {
    return CheckPop(account) + '\n' + CheckSmtp(account);
}

std::optional<QString> ServerCheck::Attempt(TmsMailBase& client,
                                            const std::function<void()>& apply) {
    client.SetTimeOut(kTimeOutSeconds);
    running_ = &client;
    std::optional<QString> failure;
    try {
        apply();  // an unknown security text fails here, before any connection
        failure = LoginFailure(client);
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    running_ = nullptr;
    return failure;
}

QString ServerCheck::CheckPop(const TSievoUser& account) {
    const QString server = QString::fromStdString(account.POPAddress);
    TmsRemotePOP pop;
    if (const auto failure = Attempt(pop, [&] { ApplyPopAccount(pop, account); }))
        return QObject::tr("POP3 server %1: FAILED: %2").arg(server, *failure);
    return QObject::tr("POP3 server %1: logged in (%2).").arg(server, SecurityName(pop.Security));
}

QString ServerCheck::CheckSmtp(const TSievoUser& account) {
    if (account.SMTPAddress.empty())
        return QObject::tr("SMTP server: none set, not tested.");
    const QString server = QString::fromStdString(account.SMTPAddress);
    TmsSMTP smtp;
    const auto failure = Attempt(smtp, [&] { ApplySmtpAccount(smtp, account); });
    if (failure)
        return QObject::tr("SMTP server %1: FAILED: %2").arg(server, *failure);
    const QString login = account.SMTPUser.empty() ? QObject::tr("connected, no log-in needed")
                                                   : QObject::tr("logged in");
    return QObject::tr("SMTP server %1: %2 (%3).").arg(server, login, SecurityName(smtp.Security));
}

void ServerCheck::Cancel() {
    if (running_)
        running_->Cancel();
}

}  // namespace sievo
