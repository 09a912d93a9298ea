#include "dovecot_server.h"

#include <pwd.h>
#include <unistd.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <filesystem>
#include <map>
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
constexpr std::size_t kLogTailBytes = 4000;
// Dovecot's line for every POP3 session that ended, by QUIT or by a dropped connection.
constexpr const char* kSessionEndLog = ": Info: Disconnected";
constexpr int kLogWaitLimitMs = 60000;
constexpr unsigned long kLogPollMs = 50;

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

// Ten digits, so that the names sort as the messages are numbered.
std::string MaildirFileName(std::size_t n) {
    char name[40];
    std::snprintf(name, sizeof name, "%010zu.M1P1.sievotest:2,", n);
    return name;
}

}  // namespace

DovecotServer::DovecotServer(const Options& options) : options_(options) {
    namespace fs = std::filesystem;
    // The mail user must be able to reach the maildir inside the temporary folder.
    fs::permissions(dir_.path().toStdString(), fs::perms(0755));
    for (const char* folder : {"run", "state", "log", "home", "mail/cur", "mail/new", "mail/tmp"})
        EnsureFolder(Path(folder));
    // The outgoing mail of the Sieve agent (replies, redirects) is taken and dropped.
    WriteFileAtomically(Path("sendmail"), "#!/bin/sh\ncat >/dev/null\n");
    fs::permissions(Path("sendmail"), fs::perms(0755));
    if (*options.userScript != '\0') {
        const std::string script = "sieve/" + std::string(options.userScript) + ".sieve";
        EnsureFolder(Path("home/sieve"));
        WriteFileAtomically(Path("home/") + script, "keep;\n");
        fs::create_symlink(script, Path("home/.dovecot.sieve"));
    }
    for (std::size_t i = 0; i < options.messages.size(); ++i)
        WriteFileAtomically(Path("mail/cur/") + MaildirFileName(i + 1), options.messages[i]);
    WriteFileAtomically(Path("users"), std::string(kUserName) + ":{PLAIN}" + kPassword + ":::::\n");
    // Dovecot's authentication process may run as its own user.
    fs::permissions(Path("users"), fs::perms(0644));
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
    const bool tls = !options_.certificateFile.empty();
    tlsPort_ = tls ? FreePort() : 0;
    imapPort_ = options_.imap && options_.imapPlain ? FreePort() : 0;
    imapTlsPort_ = options_.imap && options_.imapSsl && tls ? FreePort() : 0;
    sievePort_ = options_.sieve ? FreePort() : 0;
    WriteConfiguration();
    process_ = std::make_unique<ServerProcess>();
    QList<quint16> ports;
    for (const quint16 port : {plainPort_, tlsPort_, imapPort_, imapTlsPort_, sievePort_}) {
        if (port != 0)
            ports.append(port);
    }
    const bool ready =
        process_->Start("dovecot", {"-F", "-c", QString::fromStdString(Path("dovecot.conf"))}) &&
        process_->WaitForPorts(ports);
    if (!ready) {
        error_ = process_->Error();
        process_.reset();
    }
    return ready;
}

void DovecotServer::Deliver(const std::string& text) {
    // The time part sorts after every file the constructor wrote.
    const std::string name = "9999999999.M" + std::to_string(++delivered_) + "P1.sievotest";
    WriteFileAtomically(Path("mail/new/") + name, text);
    if (RunningAsRoot())
        GiveToMailUser(Path("mail"));
}

std::string DovecotServer::DeliverThroughAgent(const std::string& text) const {
    QProcess agent;
    agent.start("/usr/lib/dovecot/dovecot-lda",
                {"-c", QString::fromStdString(Path("dovecot.conf")), "-d", kUserName});
    agent.write(QByteArray::fromStdString(text));
    agent.closeWriteChannel();
    agent.waitForFinished(kLogWaitLimitMs);
    return std::to_string(agent.exitCode()) + " " + agent.readAllStandardError().toStdString();
}

void DovecotServer::WriteConfiguration() const {
    const std::string loginUser = RunningAsRoot() ? kRootLoginUser : CurrentUserName();
    const std::string internalUser = RunningAsRoot() ? kRootInternalUser : CurrentUserName();
    std::ostringstream conf;
    conf << "base_dir = " << Path("run") << "\n"
         << "state_dir = " << Path("state") << "\n"
         << "log_path = " << Path("log/dovecot.log") << "\n"
         << "instance_name = sievotest-" << getpid() << "-" << plainPort_ << "\n"
         << "protocols = pop3" << (options_.imap ? " imap" : "") << (options_.sieve ? " sieve" : "")
         << "\n"
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
    if (tlsPort_ != 0)
        conf << "ssl = yes\nssl_cert = <" << options_.certificateFile << "\nssl_key = <"
             << options_.keyFile << "\n";
    else
        conf << "ssl = no\n";
    conf << "service pop3-login {\n  chroot =\n"
         << "  inet_listener pop3 {\n    port = " << plainPort_ << "\n  }\n"
         << "  inet_listener pop3s {\n    port = " << tlsPort_ << "\n    ssl = yes\n  }\n}\n"
         << "service imap-login {\n  chroot =\n  inet_listener imap {\n    port = " << imapPort_
         << "\n  }\n  inet_listener imaps {\n    port = " << imapTlsPort_
         << "\n    ssl = yes\n  }\n}\n"
         << "imap_logout_format = in=%i out=%o headers=%{fetch_hdr_count} "
         << "bodies=%{fetch_body_count}\n"
         << "namespace inbox {\n  inbox = yes\n  separator = /\n"
         << "  mailbox Junk {\n    auto = create\n    special_use = \\Junk\n  }\n}\n";
    if (options_.sieve)
        conf << "service managesieve-login {\n  chroot =\n  inet_listener sieve {\n    port = "
             << sievePort_ << "\n  }\n}\n"
             << "protocol lda {\n  mail_plugins = sieve\n}\n"
             << "plugin {\n  sieve = file:" << Path("home/sieve")
             << ";active=" << Path("home/.dovecot.sieve") << "\n}\n"
             << "postmaster_address = postmaster@example.org\n"
             << "sendmail_path = " << Path("sendmail") << "\n";
    WriteFileAtomically(Path("dovecot.conf"), conf.str());
}

std::string DovecotServer::GeneratedMessage(int n) {
    const std::string number = std::to_string(n);
    return "Message-ID: <" + number + ".sievotest@example.org>\r\nFrom: Sender " + number +
           " <sender" + number + "@example.org>\r\nTo: sam@example.org\r\nSubject: Message " +
           number + "\r\n\r\nBody of message " + number + ".\r\n";
}

std::vector<std::string> DovecotServer::GeneratedMessages(int count) {
    std::vector<std::string> messages;
    for (int n = 1; n <= count; ++n)
        messages.push_back(GeneratedMessage(n));
    return messages;
}

std::string DovecotServer::Log() const {
    return ReadWholeFile(Path("log/dovecot.log")).value_or("");
}

std::string DovecotServer::Error() const {
    std::string log = Log();
    if (log.size() > kLogTailBytes)
        log = log.substr(log.size() - kLogTailBytes);
    return error_ + "\n" + log;
}

std::map<std::string, std::filesystem::path> DovecotServer::FolderFiles(
    const std::string& folder) const {
    std::map<std::string, std::filesystem::path> byName;
    const std::string root = Path(folder.empty() ? "mail/" : "mail/." + folder + "/");
    for (const char* part : {"cur", "new"}) {
        if (!std::filesystem::exists(root + part))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(root + part))
            byName[entry.path().filename().string()] = entry.path();
    }
    return byName;
}

std::vector<std::string> DovecotServer::StoredMessages(const std::string& folder) const {
    std::vector<std::string> texts;
    for (const auto& [name, path] : FolderFiles(folder))
        texts.push_back(ReadWholeFile(path.string()).value_or(""));
    return texts;
}

std::vector<std::string> DovecotServer::StoredFlags(const std::string& folder) const {
    std::vector<std::string> flags;
    for (const auto& [name, path] : FolderFiles(folder)) {
        const auto info = name.find(":2,");
        flags.push_back(info == std::string::npos ? "" : name.substr(info + 3));
    }
    return flags;
}

bool DovecotServer::WaitForSessionsEnded(int count) const {
    const QDeadlineTimer deadline(kLogWaitLimitMs);
    const auto ended = [&] {
        return QByteArray::fromStdString(Log()).count(kSessionEndLog) >= count;
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

}  // namespace sievo::testing
