#include "engine/imap_watch.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <utility>

#include "config/activity_log.h"

namespace sievo {

ImapWatch::ImapWatch(const TSievoUser& account, PushTiming timing, NewMailEvent newMail)
    : account_(account), timing_(timing), newMail_(std::move(newMail)), pause_(timing.firstRetry) {
    imap_.SetTimeOut(kStepTimeOutSeconds);
    imap_.OnDataArrived = [this](TagSocket&) { DataArrived(); };
    connectTimer_.setSingleShot(true);
    QObject::connect(&connectTimer_, &QTimer::timeout, [this] { Connect(); });
    renewTimer_.setInterval(timing_.renewal);
    QObject::connect(&renewTimer_, &QTimer::timeout, [this] { Renew(); });
}

void ImapWatch::Start() {
    if (!suspended_)
        connectTimer_.start(0);
}

void ImapWatch::Suspend() {
    suspended_ = true;
    interrupted_ = true;
    connectTimer_.stop();
    renewTimer_.stop();
    imap_.Cancel();
}

void ImapWatch::Resume() {
    suspended_ = false;
    Start();
}

bool ImapWatch::Watches(const TSievoUser& account) const {
    return account.Index == account_.Index && account.POPAddress == account_.POPAddress &&
           account.POPUser == account_.POPUser && account.Password == account_.Password &&
           account.POPSecurity == account_.POPSecurity &&
           account.POPSecurityExplicit == account_.POPSecurityExplicit &&
           account.IMAPFolder == account_.IMAPFolder;
}

void ImapWatch::Connect() {
    if (busy_ || suspended_ || withoutIdle_)
        return;
    RunStep([this] {
        SetAccountLogin(imap_, account_);
        imap_.ConnectAndLogin();
        if (!imap_.Announces("IDLE")) {
            withoutIdle_ = true;
            imap_.LogoutAndClose();
            ActivityLog("The server does not offer IDLE: new mail is found on the schedule only",
                        false, &account_);
            return;
        }
        imap_.Select(account_.IMAPFolder);
        exists_ = imap_.Exists();
        imap_.Idle();
        ActivityLog("Watching " + account_.IMAPFolder + " for new mail", true, &account_);
        pause_ = timing_.firstRetry;
        renewTimer_.start();
        if (std::exchange(checkWhenBack_, false))
            newMail_(account_.Index);
    });
}

void ImapWatch::Renew() {
    if (busy_ || !Idling())
        return;
    RunStep([this] {
        imap_.Done();
        imap_.Idle();
    });
}

void ImapWatch::DataArrived() {
    // Closing the connection on purpose signals as well.
    if (busy_ || suspended_ || !Idling())
        return;
    RunStep([this] { imap_.ReadArrived(); });
}

void ImapWatch::RunStep(const std::function<void()>& step) {
    {
        const QScopedValueRollback busy(busy_, true);
        interrupted_ = false;
        try {
            step();
        } catch (const std::exception& error) {
            if (!interrupted_)
                Failed(error.what());
        }
    }
    Settle();
}

void ImapWatch::Settle() {
    if (suspended_)
        return;
    if (imap_.Connected())
        NoteExists();
    if (Idling()) {
        // Replies that came in with the step's last one raise no signal of their own.
        if (imap_.LineWaiting() || imap_.PeerClosed())
            DataArrived();
        return;
    }
    // The server ended the IDLE, or the watch was resumed while its step was ending.
    renewTimer_.stop();
    if (!withoutIdle_ && !connectTimer_.isActive())
        connectTimer_.start(0);
}

void ImapWatch::Failed(const std::string& reason) {
    imap_.Close();
    renewTimer_.stop();
    checkWhenBack_ = true;
    constexpr long long kMsPerSecond = 1000;
    const long long seconds = (pause_.count() + kMsPerSecond - 1) / kMsPerSecond;
    ActivityLog("New mail is not watched for: " + reason + ". Trying again in " +
                    std::to_string(seconds) + " seconds",
                false, &account_);
    connectTimer_.start(pause_);
    pause_ = std::min(pause_ * 2, timing_.longestRetry);
}

void ImapWatch::NoteExists() {
    const std::uint32_t now = imap_.Exists();
    const bool grown = now > exists_;
    exists_ = now;
    if (grown)
        newMail_(account_.Index);
}

}  // namespace sievo
