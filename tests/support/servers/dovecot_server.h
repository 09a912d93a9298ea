#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "server_process.h"

namespace sievo::testing {

// A private Dovecot POP3 server on 127.0.0.1 with one user whose maildir holds the given
// messages; message n on the wire is messages[n - 1]. It has its own configuration, run,
// state and log folders in a temporary folder, and never touches the system's instance.
class DovecotServer {
public:
    struct Options {
        std::vector<std::string> messages;
        // PEM files of the server's certificate and key; without them, no TLS at all.
        std::string certificateFile;
        std::string keyFile;
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
    // Why it did not start, with the end of Dovecot's log.
    std::string Error() const;

    // "127.0.0.1:" + the port of plain POP3 (with STLS when there is TLS) or of POP3S.
    std::string PlainAddress() const;
    std::string TlsAddress() const;

    // Puts a message into the maildir as a delivery would, after every message there.
    void Deliver(const std::string& text);
    // The texts of the messages that are still in the maildir, in file-name order.
    std::vector<std::string> StoredMessages() const;
    // Waits until Dovecot has logged the end of `count` POP3 sessions, however they ended;
    // false when that does not happen within a generous limit.
    bool WaitForSessionsEnded(int count) const;

private:
    bool StartOnce();
    void WriteConfiguration() const;
    std::string Path(const std::string& name) const;

    int delivered_ = 0;

    Options options_;
    QTemporaryDir dir_;
    std::unique_ptr<ServerProcess> process_;
    quint16 plainPort_ = 0;
    quint16 tlsPort_ = 0;
    bool started_ = false;
    std::string error_;
};

}  // namespace sievo::testing
