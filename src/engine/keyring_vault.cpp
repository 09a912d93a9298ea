#include "engine/keyring_vault.h"

#include <qt6keychain/keychain.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <memory>

#include "config/errors.h"
#include "net/event_pump.h"

namespace sievo {

namespace {

const QString kService = QStringLiteral("sievomatic");
const QString kSecrets = QStringLiteral("org.freedesktop.secrets");

// Answers the first argument of a reply, or nothing for an error or no answer in time.
std::optional<QVariant> Ask(const QString& path, const QString& interface, const QString& method,
                            const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(kSecrets, path, interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        call, QDBus::Block, KeyringVault::kKeyringSeconds * 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().front();
}

bool DefaultCollectionUnlocked() {
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    const auto alias = Ask("/org/freedesktop/secrets", "org.freedesktop.Secret.Service",
                           "ReadAlias", {QStringLiteral("default")});
    if (!alias)
        return false;
    const QString collection = alias->value<QDBusObjectPath>().path();
    if (collection.isEmpty() || collection == "/")
        return false;
    const auto locked =
        Ask(collection, "org.freedesktop.DBus.Properties", "Get",
            {QStringLiteral("org.freedesktop.Secret.Collection"), QStringLiteral("Locked")});
    return locked && !locked->value<QDBusVariant>().variant().toBool();
}

// Runs the job to its end or the deadline and raises when it failed with an error other
// than `accepted`; `done` then sees the finished job. A job past its deadline is left to
// finish on its own (it deletes itself then): deleting a running job would leave the
// keyring's answer without a receiver.
template <typename Job>
void Run(Job* job, const std::string& key, QKeychain::Error accepted,
         const std::function<void(Job&)>& done = {}) {
    auto finished = std::make_shared<bool>(false);
    std::string failure;
    QObject::connect(job, &QKeychain::Job::finished, [&, finished, job] {
        *finished = true;
        if (job->error() != QKeychain::NoError && job->error() != accepted)
            failure = job->errorString().toStdString();
        else if (done)
            done(*job);
    });
    job->setKey(QString::fromStdString(key));
    job->start();
    QElapsedTimer waited;
    waited.start();
    while (!*finished && waited.elapsed() < KeyringVault::kKeyringSeconds * 1000)
        PumpOnce();
    if (!*finished) {
        QObject::disconnect(job, &QKeychain::Job::finished, nullptr, nullptr);
        throw Exception("The keyring gave no answer within " +
                        std::to_string(KeyringVault::kKeyringSeconds) + " seconds");
    }
    if (!failure.empty())
        throw Exception("The keyring refused: " + failure);
}

}  // namespace

bool KeyringVault::Available() {
    return DefaultCollectionUnlocked();
}

std::optional<std::string> KeyringVault::Read(const std::string& key) {
    std::optional<std::string> password;
    Run<QKeychain::ReadPasswordJob>(new QKeychain::ReadPasswordJob(kService), key,
                                    QKeychain::EntryNotFound,
                                    [&password](QKeychain::ReadPasswordJob& job) {
                                        if (job.error() == QKeychain::NoError)
                                            password = job.textData().toStdString();
                                    });
    return password;
}

void KeyringVault::Write(const std::string& key, const std::string& password) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setTextData(QString::fromStdString(password));
    Run(job, key, QKeychain::NoError);
}

void KeyringVault::Remove(const std::string& key) {
    Run(new QKeychain::DeletePasswordJob(kService), key, QKeychain::EntryNotFound);
}

void InstallDesktopKeyring() {
    InstallPasswordVault(std::make_unique<KeyringVault>());
}

}  // namespace sievo
