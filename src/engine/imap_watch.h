#pragma once

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "config/account.h"
#include "mail/ms_imap.h"

namespace sievo {

// How often an IMAP watch renews its IDLE and how long it pauses after a failure.
struct PushTiming {
    // Servers may end an IDLE after 30 minutes (RFC 2177); renewing earlier keeps it alive
    // and finds a connection that died without a word.
    static constexpr std::chrono::milliseconds kIdleRenewal = std::chrono::minutes(25);
    // The pause after a failed connection doubles from the first to the longest.
    static constexpr std::chrono::milliseconds kFirstRetryPause = std::chrono::seconds(5);
    static constexpr std::chrono::milliseconds kLongestRetryPause = std::chrono::minutes(5);

    std::chrono::milliseconds renewal = kIdleRenewal;
    std::chrono::milliseconds firstRetry = kFirstRetryPause;
    std::chrono::milliseconds longestRetry = kLongestRetryPause;
};

// Watches one IMAP account's folder with IDLE on a connection of its own, and tells when
// new messages arrive. The connection is watched through the socket's signals, so nothing
// waits for the server while the folder is quiet; only the short steps (log-in, SELECT,
// IDLE, DONE) wait as every client call does. A failed connection is tried again after
// growing pauses, one log line each, and the account is checked once it is back; a server without
// IDLE is not watched at all.
class ImapWatch {
public:
    // A step that waits for the server must not end longer than this after it began.
    static constexpr int kStepTimeOutSeconds = 60;

    using NewMailEvent = std::function<void(int accountIndex)>;

    ImapWatch(const TSievoUser& account, PushTiming timing, NewMailEvent newMail);
    ImapWatch(const ImapWatch&) = delete;
    ImapWatch& operator=(const ImapWatch&) = delete;

    // Connects at once, unless suspended.
    void Start();
    // Closes the connection (ending a step under way) and opens none until `Resume`.
    void Suspend();
    void Resume();
    // Whether the account is watched with these log-in details.
    bool Watches(const TSievoUser& account) const;
    // True while the server is in IDLE for this watch.
    bool Idling() const { return imap_.Connected() && imap_.Idling(); }
    // True while a step waits for the server: the watch must not be destroyed then.
    bool Busy() const { return busy_; }

private:
    void Connect();
    void Renew();
    void DataArrived();
    // Runs a step that waits for the server, then settles what it left.
    void RunStep(const std::function<void()>& step);
    void Settle();
    void Failed(const std::string& reason);
    // Tells of new mail when the folder holds more messages than it did.
    void NoteExists();

    TSievoUser account_;
    PushTiming timing_;
    NewMailEvent newMail_;
    TmsIMAP imap_;
    QTimer connectTimer_;
    QTimer renewTimer_;
    std::chrono::milliseconds pause_;
    std::uint32_t exists_ = 0;
    bool busy_ = false;
    bool suspended_ = false;
    // The step under way was ended on purpose, not by a failure.
    bool interrupted_ = false;
    // Mail may have arrived while the connection was down: the account is checked once
    // the watch is back.
    bool checkWhenBack_ = false;
    bool withoutIdle_ = false;
};

}  // namespace sievo
