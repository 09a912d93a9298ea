// A whole check of one mailbox as the headless single pass runs it (the engine with the
// terminal's user, three rules of which two condemn every tenth message, Trash copies of
// half of those), over IMAP and over POP3. Each protocol has its own private Dovecot
// holding the same messages, reached through a proxy that adds 20 ms each way and counts
// the round trips. The first check starts without a header cache; the second follows the
// delivery of ten new messages, one of them condemned. Prints the wall time of each check,
// the CPU time of this process meanwhile (the client, and the proxy's few copies), its
// round trips and, over IMAP, the header blocks and whole messages Dovecot sent.
// Targets over IMAP: 1 000 messages in at most 0.4 s, 10 000 in at most 1.0 s.
// Usage: check_bench [--trash] [--imap] [messages ...]   (1000 and 10000 unless given)
//   --trash: the subject rule also keeps a copy of each message it condemns in the Trash
//   --imap: IMAP alone (the POP3 pass deletes one message per round trip or so)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/default_files.h"
#include "app/terminal_user.h"
#include "config/account.h"
#include "config/activity_log.h"
#include "delay_proxy.h"
#include "dovecot_server.h"
#include "engine/mail_engine.h"
#include "engine/single_pass.h"
#include "realistic_messages.h"
#include "store/accounts_store.h"
#include "store/rule_store.h"

namespace {

using namespace sievo;
using testing::DovecotServer;

constexpr auto kOneWayDelay = std::chrono::milliseconds(20);
constexpr int kCondemnedEvery = 10;
constexpr int kNewMessages = 10;

// Every tenth message is condemned: half by its subject, half by its sender.
std::string BenchMessage(int n) {
    const std::string number = std::to_string(n);
    if (n % (2 * kCondemnedEvery) == 0)
        return bench::RealisticMessage(n, "Shop <shop" + number + "@example.com>",
                                       "Special offer " + number);
    if (n % kCondemnedEvery == 0)
        return bench::RealisticMessage(n, "Deals <deals" + number + "@offers.example>",
                                       "Message " + number);
    return bench::RealisticMessage(n);
}

std::vector<std::string> BenchMessages(int first, int count) {
    std::vector<std::string> messages;
    for (int n = first; n < first + count; ++n)
        messages.push_back(BenchMessage(n));
    return messages;
}

void AddRules(bool trashCopies) {
    RuleRecord rule;
    rule.Reply = rule.Report = false;
    rule.SendtoRecycle = trashCopies;
    rule.Criteria = "SUBCONT";
    rule.Value = "special offer";
    rule_store::Append(rule);
    rule.SendtoRecycle = false;
    rule.Criteria = "FROM";
    rule.Value = "@offers.example";
    rule_store::Append(rule);
    rule.Value = "@lottery.example";  // never hits, but is tried on every message
    rule_store::Append(rule);
}

void WriteAccount(std::uint16_t port, const char* protocol) {
    std::remove(AccountsPath().c_str());
    StoredAccount account;
    account.emailAddr = "sam@example.org";
    account.smtpAddress = "smtp.example.org";
    account.popAddress = "127.0.0.1:" + std::to_string(port);
    account.popUser = DovecotServer::kUserName;
    account.password = DovecotServer::kPassword;
    account.popSecurity = "NONE";
    account.protocol = protocol;
    account.mailNotify = false;
    accounts::Append(account);
}

// Ends the benchmark with the reason and the end of the activity log.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

[[noreturn]] void Fail(const std::string& text) {
    constexpr std::size_t kLogLines = 20;
    const auto& lines = TheActivityLog().Lines();
    for (auto line = lines.size() > kLogLines ? lines.end() - kLogLines : lines.begin();
         line != lines.end(); ++line)
        std::fprintf(stderr, "%s\n", line->c_str());
    std::fprintf(stderr, "%s\n", text.c_str());
    std::exit(EXIT_FAILURE);
}

// One protocol's Dovecot with the messages, its index built by a dry run straight to it
// (as a mailbox in use has it), and the proxy in front of it as the only account. The
// header cache is named after the server's address, so the proxy's starts empty.
class Mailbox {
public:
    Mailbox(MailEngine& engine, int count, bool imap) : imap_(imap), server_(Options(count, imap)) {
        if (!server_.Started())
            Fail(server_.Error());
        const std::string address = imap ? server_.ImapAddress() : server_.PlainAddress();
        const auto port =
            static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
        const char* protocol = imap ? "IMAP" : "POP3";
        WriteAccount(port, protocol);
        setenv("SIEVOMATIC_DRY_RUN", "1", 1);
        CheckEveryAccountOnce(engine);
        unsetenv("SIEVOMATIC_DRY_RUN");
        if (engine.LastPassErrors() != 0 || !server_.WaitForSessionsEnded(++sessions_))
            Fail(std::string(protocol) + ": the dry run failed");
        proxy_ = std::make_unique<bench::DelayProxy>(port, kOneWayDelay);
        WriteAccount(proxy_->Port(), protocol);
    }

    // Checks every account once and prints the figures of the check.
    void Check(MailEngine& engine, const std::string& what, std::size_t inboxAfter) {
        const int roundTrips = proxy_->RoundTrips();
        const double cpuStart = CpuSeconds();
        QElapsedTimer elapsed;
        elapsed.start();
        CheckEveryAccountOnce(engine);
        const double seconds = elapsed.nsecsElapsed() / 1e9;
        const double cpuSeconds = CpuSeconds() - cpuStart;
        if (engine.LastPassErrors() != 0)
            Fail(what + ": the check reported errors");
        if (!server_.WaitForSessionsEnded(++sessions_))
            Fail(what + ": Dovecot did not end the session");
        const std::size_t inbox = server_.StoredMessages().size();
        if (inbox != inboxAfter)
            Fail(what + ": " + std::to_string(inbox) + " messages left, not " +
                 std::to_string(inboxAfter));
        std::printf("%-6s %-34s %7.3f s (CPU %.3f s) %4d round trips  %s\n",
                    imap_ ? "IMAP" : "POP3", what.c_str(), seconds, cpuSeconds,
                    proxy_->RoundTrips() - roundTrips, imap_ ? LastImapFetches().c_str() : "");
    }

    void Deliver(const std::vector<std::string>& messages) {
        for (const std::string& message : messages)
            server_.Deliver(message);
    }

private:
    static DovecotServer::Options Options(int count, bool imap) {
        DovecotServer::Options options{BenchMessages(1, count), "", ""};
        options.imap = imap;
        return options;
    }

    // What Dovecot logged at the end of the last IMAP session, once it has logged the end
    // of every session so far (the client does not wait for the log-out's answer).
    std::string LastImapFetches() const {
        static const QRegularExpression counts("headers=\\d+ bodies=\\d+");
        QStringList found;
        const QDeadlineTimer deadline(kLogWaitMs);
        do {
            found.clear();
            for (auto match = counts.globalMatch(QString::fromStdString(server_.Log()));
                 match.hasNext();)
                found << match.next().captured();
        } while (found.size() < sessions_ && !deadline.hasExpired() &&
                 (QThread::msleep(kLogPollMs), true));
        return "Dovecot sent " + (found.isEmpty() ? std::string() : found.last().toStdString());
    }
    static constexpr int kLogWaitMs = 5000;
    static constexpr unsigned long kLogPollMs = 20;

    bool imap_;
    DovecotServer server_;
    std::unique_ptr<bench::DelayProxy> proxy_;
    int sessions_ = 0;
};

void CheckTwice(MailEngine& engine, int count, bool imap) {
    Mailbox mailbox(engine, count, imap);
    const int kept = count - count / kCondemnedEvery;
    const std::string messages = std::to_string(count) + " messages";
    mailbox.Check(engine, messages + ", first check", static_cast<std::size_t>(kept));
    mailbox.Deliver(BenchMessages(count + 1, kNewMessages));
    mailbox.Check(engine, messages + " + " + std::to_string(kNewMessages) + " new, second",
                  static_cast<std::size_t>(kept + kNewMessages - 1));
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    QTemporaryDir trash;
    setenv("SIEVOMATIC_HOME", home.path().toUtf8().constData(), 1);
    setenv("XDG_DATA_HOME", trash.path().toUtf8().constData(), 1);
    QCoreApplication app(argc, argv);
    InstallDefaultFiles();
    TheActivityLog().Open();
    bool trashCopies = false;
    bool imapAlone = false;
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--trash")
            trashCopies = true;
        else if (word == "--imap")
            imapAlone = true;
        else
            counts.push_back(std::stoi(word));
    }
    if (counts.empty())
        counts = {1000, 10000};
    AddRules(trashCopies);
    TerminalUser user;
    MailEngine engine(user.Interfaces());
    std::printf("a whole check through a proxy adding %lld ms each way; Trash copies: %s\n",
                static_cast<long long>(kOneWayDelay.count()),
                trashCopies ? "of the messages condemned by subject" : "none");
    for (const int count : counts) {
        CheckTwice(engine, count, true);
        if (!imapAlone)
            CheckTwice(engine, count, false);
    }
    engine.Shutdown();
    return EXIT_SUCCESS;
}
