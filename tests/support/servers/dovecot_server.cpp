#include "dovecot_server.h"

#include <pwd.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/file_io.h"

namespace sievo::testing {

namespace {

// Ports may be taken between choosing and binding them; a few tries make that harmless.
constexpr int kStartAttempts = 3;
// As root, Dovecot refuses to handle mail as root; this user owns the maildir instead.
constexpr const char* kMailUser = "mail";
constexpr const char* kRootLoginUser = "dovenull";
constexpr const char* kRootInternalUser = "dovecot";
constexpr std::size_t kFileNameDigits = 10;
constexpr std::size_t kLogTailBytes = 4000;
// Dovecot's line for every POP3 session that ended, by QUIT or by a dropped connection.
constexpr std::string_view kSessionEndLog = ": Info: Disconnected";
constexpr int kLogWaitLimitMs = 60000;
constexpr unsigned long kLogPollMs = 50;

int CountOccurrences(const std::string& text, std::string_view part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

bool RunningAsRoot() {
    return geteuid() == 0;
}

std::string CurrentUserName() {
    const passwd* entry = getpwuid(geteuid());
    return entry ? entry->pw_name : "";
}

// Hands the folder and everything in it to the mail user, as Dovecot needs when root.
void GiveToMailUser(const std::filesystem::path& folder) {
    const passwd* mail = getpwnam(kMailUser);
    if (!mail)
        return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (lchown(entry.path().c_str(), mail->pw_uid, mail->pw_gid) != 0)
            std::perror(entry.path().c_str());
    }
    if (lchown(folder.c_str(), mail->pw_uid, mail->pw_gid) != 0)
        std::perror(folder.c_str());
}

std::string MaildirFileName(int n) {
    const std::string number = std::to_string(n);
    const std::size_t padding =
        number.size() < kFileNameDigits ? kFileNameDigits - number.size() : 0;
    return std::string(padding, '0') + number + ".M1P1.sievotest:2,";
}

}  // namespace

DovecotServer::DovecotServer(const Options& options) : options_(options) {
    // The mail user must be able to reach the maildir inside the temporary folder.
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                           QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                           QFileDevice::ExeGroup);
    for (const char* folder : {"run", "state", "log", "home"})
        EnsureFolder(Path(folder));
    for (const char* folder : {"cur", "new", "tmp"})
        EnsureFolder(MaildirPath() + "/" + folder);
    FillMaildir(options.messages);
    WriteFileAtomically(Path("users"), std::string(kUserName) + ":{PLAIN}" + kPassword + ":::::\n");
    // Dovecot's authentication process may run as its own user.
    QFile::setPermissions(QString::fromStdString(Path("users")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (RunningAsRoot()) {
        GiveToMailUser(Path("mail"));
        GiveToMailUser(Path("home"));
    }
    for (int attempt = 0; attempt < kStartAttempts && !started_; ++attempt)
        started_ = StartOnce();
}

DovecotServer::~DovecotServer() = default;

bool DovecotServer::StartOnce() {
    plainPort_ = FreePort();
    tlsPort_ = options_.certificateFile.empty() ? 0 : FreePort();
    WriteConfiguration();
    process_ = std::make_unique<ServerProcess>();
    QList<quint16> ports{plainPort_};
    if (tlsPort_ != 0)
        ports.append(tlsPort_);
    const bool ready =
        process_->Start("dovecot", {"-F", "-c", QString::fromStdString(Path("dovecot.conf"))}) &&
        process_->WaitForPorts(ports);
    if (!ready) {
        error_ = process_->Error();
        process_.reset();
    }
    return ready;
}

void DovecotServer::FillMaildir(const std::vector<std::string>& messages) const {
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        WriteFileAtomically(MaildirPath() + "/cur/" + MaildirFileName(n), messages[i]);
    }
}

void DovecotServer::Deliver(const std::string& text) {
    // The time part sorts after every file FillMaildir wrote.
    const std::string name = "9999999999.M" + std::to_string(++delivered_) + "P1.sievotest";
    WriteFileAtomically(MaildirPath() + "/new/" + name, text);
    if (RunningAsRoot())
        GiveToMailUser(Path("mail"));
}

void DovecotServer::WriteConfiguration() const {
    const bool tls = tlsPort_ != 0;
    const std::string loginUser = RunningAsRoot() ? kRootLoginUser : CurrentUserName();
    const std::string internalUser = RunningAsRoot() ? kRootInternalUser : CurrentUserName();
    std::ostringstream conf;
    conf << "base_dir = " << Path("run") << "\n"
         << "state_dir = " << Path("state") << "\n"
         << "log_path = " << Path("log/dovecot.log") << "\n"
         << "instance_name = sievotest-" << getpid() << "-" << plainPort_ << "\n"
         << "protocols = pop3\n"
         << "listen = 127.0.0.1\n"
         << "disable_plaintext_auth = no\n"
         << "auth_mechanisms = plain\n"
         << "first_valid_uid = 1\n"
         << "default_login_user = " << loginUser << "\n"
         << "default_internal_user = " << internalUser << "\n"
         << "mail_location = maildir:" << Path("mail") << "\n"
         << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u "
         << Path("users") << "\n}\n"
         << "userdb {\n  driver = static\n  args = home=" << Path("home") << "\n}\n";
    if (RunningAsRoot())
        conf << "mail_uid = " << kMailUser << "\nmail_gid = " << kMailUser << "\n";
    if (tls) {
        conf << "ssl = yes\nssl_cert = <" << options_.certificateFile << "\nssl_key = <"
             << options_.keyFile << "\n";
    } else {
        conf << "ssl = no\n";
    }
    conf << "service pop3-login {\n  chroot =\n"
         << "  inet_listener pop3 {\n    port = " << plainPort_ << "\n  }\n"
         << "  inet_listener pop3s {\n    port = " << tlsPort_ << "\n    ssl = yes\n  }\n}\n"
         << "service imap-login {\n  inet_listener imap {\n    port = 0\n  }\n"
         << "  inet_listener imaps {\n    port = 0\n  }\n}\n";
    WriteFileAtomically(Path("dovecot.conf"), conf.str());
}

std::string DovecotServer::GeneratedMessage(int n) {
    const std::string number = std::to_string(n);
    std::string text = "Message-ID: <" + number + ".sievotest@example.org>\r\n";
    text += "From: Sender " + number + " <sender" + number + "@example.org>\r\n";
    text += "To: sam@example.org\r\n";
    text += "Subject: Message " + number + "\r\n";
    text += "\r\n";
    text += "Body of message " + number + ".\r\n";
    return text;
}

std::vector<std::string> DovecotServer::GeneratedMessages(int count) {
    std::vector<std::string> messages;
    for (int n = 1; n <= count; ++n)
        messages.push_back(GeneratedMessage(n));
    return messages;
}

std::string DovecotServer::Error() const {
    std::string log = ReadWholeFile(Path("log/dovecot.log")).value_or("");
    if (log.size() > kLogTailBytes)
        log = log.substr(log.size() - kLogTailBytes);
    return error_ + "\n" + log;
}

std::string DovecotServer::PlainAddress() const {
    return "127.0.0.1:" + std::to_string(plainPort_);
}

std::string DovecotServer::TlsAddress() const {
    return "127.0.0.1:" + std::to_string(tlsPort_);
}

std::vector<std::string> DovecotServer::StoredMessages() const {
    std::vector<std::string> names;
    for (const char* folder : {"/cur", "/new"}) {
        for (const auto& entry : std::filesystem::directory_iterator(MaildirPath() + folder))
            names.push_back(entry.path().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::filesystem::path(a).filename() < std::filesystem::path(b).filename();
    });
    std::vector<std::string> texts;
    for (const auto& name : names)
        texts.push_back(ReadWholeFile(name).value_or(""));
    return texts;
}

bool DovecotServer::WaitForSessionsEnded(int count) const {
    const QDeadlineTimer deadline(kLogWaitLimitMs);
    const auto ended = [&] {
        const std::string log = ReadWholeFile(Path("log/dovecot.log")).value_or("");
        return CountOccurrences(log, kSessionEndLog) >= count;
    };
    while (!ended()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kLogPollMs);  // Dovecot is another process: nothing to pump here
    }
    return true;
}

std::string DovecotServer::Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
}

std::string DovecotServer::MaildirPath() const {
    return Path("mail");
}

}  // namespace sievo::testing
