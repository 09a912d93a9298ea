#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// A private Dovecot POP3 (and, when asked, IMAP) server on 127.0.0.1 with one user whose maildir
// holds the given messages; message n on the wire is messages[n - 1]. It has its own configuration,
// run, state and log folders in a temporary folder, and never touches the system's instance.
class DovecotServer {
public:
    struct Options {
        std::vector<std::string> messages;
        // PEM files of the server's certificate and key; without them, no TLS at all.
        std::string certificateFile;
        std::string keyFile;
        // IMAP beside POP3, with a "Junk" folder the server marks \Junk. With TLS, both
        // IMAPS and STARTTLS on the plain port, unless one of them is switched off here.
        bool imap = false;
        bool imapPlain = true;
        bool imapSsl = true;
        // ManageSieve beside POP3, and delivery through Dovecot's own agent running the
        // user's active Sieve script; what it sends out goes nowhere.
        bool sieve = false;
        // With sieve: a script of the user's own by this name, active from the start.
        const char* userScript = "";
    };

    static constexpr const char* kUserName = "sam";
    static constexpr const char* kPassword = "pop secret";

    explicit DovecotServer(const Options& options);
    ~DovecotServer();
    DovecotServer(const DovecotServer&) = delete;
    DovecotServer& operator=(const DovecotServer&) = delete;

    // A mail text with a Message-ID, a From, a Subject "Message " + n and a body naming n.
    static std::string GeneratedMessage(int n);
    static std::vector<std::string> GeneratedMessages(int count);

    bool Started() const { return started_; }
    // Dovecot's log; each IMAP session ends with a line that counts the header blocks
    // ("headers=2") and the whole messages ("bodies=1") it sent.
    std::string Log() const;
    // Why it did not start, with the end of Dovecot's log.
    std::string Error() const;

    // "127.0.0.1:" + the port of plain POP3 (with STLS when there is TLS) or of POP3S.
    std::string PlainAddress() const { return LocalAddress(plainPort_); }
    std::string TlsAddress() const { return LocalAddress(tlsPort_); }
    // The same for IMAP; and the ports alone (0 for one switched off).
    std::string ImapAddress() const { return LocalAddress(imapPort_); }
    quint16 PlainPort() const { return plainPort_; }
    quint16 TlsPort() const { return tlsPort_; }
    quint16 ImapPort() const { return imapPort_; }
    quint16 ImapTlsPort() const { return imapTlsPort_; }
    // "127.0.0.1:" + the ManageSieve port.
    std::string SieveAddress() const { return LocalAddress(sievePort_); }

    // Puts a message into the maildir as a delivery would, after every message there.
    void Deliver(const std::string& text);
    // Delivers the message through dovecot-lda, as a mail server would; answers its exit
    // status with its error output.
    std::string DeliverThroughAgent(const std::string& text) const;
    // The texts of the messages that are still in the maildir's INBOX or in another of its
    // folders, in file-name order, and the maildir flag letters of each ("S" for \Seen).
    std::vector<std::string> StoredMessages(const std::string& folder = "") const;
    std::vector<std::string> StoredFlags(const std::string& folder = "") const;
    // Waits until Dovecot has logged the end of `count` POP3 sessions, however they ended;
    // false when that does not happen within a generous limit.
    bool WaitForSessionsEnded(int count) const;

private:
    bool StartOnce();
    void WriteConfiguration() const;
    std::string Path(const std::string& name) const;
    // The files of a maildir folder ("" for INBOX) by name.
    std::map<std::string, std::filesystem::path> FolderFiles(const std::string& folder) const;

    int delivered_ = 0;

    Options options_;
    QTemporaryDir dir_;
    std::unique_ptr<ServerProcess> process_;
    quint16 plainPort_ = 0;
    quint16 tlsPort_ = 0;
    quint16 imapPort_ = 0;
    quint16 imapTlsPort_ = 0;
    quint16 sievePort_ = 0;
    bool started_ = false;
    std::string error_;
};

}  // namespace sievo::testing
