// Push: the time from a message's delivery to its move to Junk by the engine watching a
// private Dovecot IMAP inbox with IDLE, over ten deliveries; median and maximum printed.

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/activity_log.h"
#include "dovecot_server.h"
#include "engine/mail_engine.h"
#include "recording_user.h"
#include "store/accounts_store.h"
#include "store/rule_store.h"
#include "store/settings_store.h"
#include "wait_until.h"

namespace {

using namespace sievo;
using testing::DovecotServer;

constexpr int kDeliveries = 10;
constexpr int kWaitLimitMs = 30000;

std::string Spam(int n) {
    return "From: spam@example.net\r\nTo: sam@example.org\r\nSubject: special offer " +
           std::to_string(n) + "\r\nMessage-ID: <" + std::to_string(n) +
           ".push@example.net>\r\n\r\nBody\r\n";
}

void AddImapAccount(const DovecotServer& dovecot) {
    StoredAccount account;
    account.emailAddr = "sam@example.org";
    account.smtpAddress = "smtp.example.org";
    account.popAddress = dovecot.ImapAddress();
    account.popUser = DovecotServer::kUserName;
    account.password = DovecotServer::kPassword;
    account.popSecurity = "NONE";
    account.protocol = "IMAP";
    account.mailNotify = false;
    // The schedule is not due during the run: every move is the watch's doing.
    const QDateTime now = QDateTime::currentDateTime();
    accounts::SaveCheckTimes(accounts::Append(account), now.addDays(1), now);
    RuleRecord rule;
    rule.Criteria = "SUBCONT";
    rule.Value = "offer";
    rule.DeleteAction = true;
    rule_store::Append(rule);
    settings::SetAutoEnabled(true);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    setenv("SIEVOMATIC_HOME", home.path().toUtf8().constData(), 1);
    TheActivityLog().Open();
    DovecotServer::Options options{{}, "", ""};
    options.imap = true;
    DovecotServer dovecot(options);
    if (!dovecot.Started()) {
        std::fprintf(stderr, "Dovecot did not start: %s\n", dovecot.Error().c_str());
        return 1;
    }
    AddImapAccount(dovecot);
    testing::RecordingUser user;
    MailEngine engine(user.Interfaces());
    engine.StartSchedule();
    engine.WatchForNewMail(true);
    const auto idling = [&] {
        const ImapWatch* watch = engine.Push().Watch(1);
        return watch && watch->Idling();
    };
    std::vector<qint64> times;
    for (int n = 1; n <= kDeliveries; ++n) {
        if (!testing::WaitUntil(idling, kWaitLimitMs)) {
            std::fprintf(stderr, "The account was not watched\n");
            return 1;
        }
        QElapsedTimer sinceDelivery;
        sinceDelivery.start();
        dovecot.Deliver(Spam(n));
        const auto moved = [&] {
            return static_cast<int>(dovecot.StoredMessages("Junk").size()) == n;
        };
        if (!testing::WaitUntil(moved, kWaitLimitMs)) {
            std::fprintf(stderr, "Delivery %d was not moved\n", n);
            return 1;
        }
        times.push_back(sinceDelivery.elapsed());
    }
    std::sort(times.begin(), times.end());
    const qint64 median = (times[kDeliveries / 2 - 1] + times[kDeliveries / 2]) / 2;
    std::printf("Push, delivery to move over %d deliveries: median %lld ms, max %lld ms\n",
                kDeliveries, static_cast<long long>(median), static_cast<long long>(times.back()));
    engine.Shutdown();
    return 0;
}
