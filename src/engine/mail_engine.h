#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/host.h"
#include "engine/connection.h"
#include "engine/pass_faults.h"
#include "engine/replies.h"
#include "mail/mailbox_session.h"
#include "net/ag_ras.h"

namespace sievo {

class ScanJudge;
class TSievoUser;

// The checking of mailboxes: the passes over the accounts (on the schedule, on request,
// once from the command line) and the scan of one account, from the connection to the
// deletions and the next check time.
class MailEngine {
public:
    // The interval of the schedule timer.
    static constexpr int kTimerIntervalMs = 10000;

    // Replies and reports go through smtp; without one, through the accounts' SMTP servers.
    explicit MailEngine(std::unique_ptr<MailSender> smtp = nullptr);

    // The automatic pass on each tick: every active account, each when it is due.
    void Timer1Timer();
    // Clean Mail Now: every active account at once, next check times left alone.
    void C3Click();
    // The command line's single pass: as Clean Mail Now, announced in the log.
    void RunSinglePass();

    // Checks one account; mode "SINGLEPASS" for a pass the user started, "" for the timer.
    void ScanMailbox(const std::string& Mode, TSievoUser& Account);

    // Makes sure the network is there for the account (see ConnectionGuard).
    int EnsureConnection(TSievoUser& Account, const std::string& Mode) {
        return connection_.EnsureConnection(Account, Mode);
    }

    // Stops the timer and cancels a running session, so the program can end.
    void Shutdown();
    // Stops at once, for a program ended by a signal: the running session and send are
    // cancelled without QUIT (so nothing half decided is committed), the pass checks no
    // further account and the timer stays off.
    void Abort();
    bool Aborted() const { return stopping_; }
    // Whether a pass over the accounts is under way (it pumps events while it waits).
    bool PassRunning() const { return passRunning_; }

    // The number of errors reported during the last pass.
    int LastPassErrors() const { return lastPassErrors_; }

    QTimer Timer1;
    // The session of the account being scanned, made for each account anew.
    std::unique_ptr<MailboxSession> POP;
    TagRas agRas1;
    bool ScanInProgress = false;

private:
    // Runs every active account through the scan in the given mode.
    void RunPass(const std::string& mode, bool automatic);
    bool ConnectAndList(const std::string& mode, TSievoUser& account, const std::string& bin);
    MailboxEvents SessionEvents();
    void SendLeftoverCopiesToTrash(const TSievoUser& account);
    int JudgeAndTransfer(const std::string& mode, TSievoUser& account);
    int ConfirmAndTransfer(TSievoUser& account, ScanJudge& judge);
    // timerFromSettings: the timer follows the auto-check setting, else it runs.
    void EndScan(bool timerFromSettings);
    void SaveLog();
    void ReportingFailure(const std::function<void()>& step);
    void CloseScanProgress();
    void NotifyNewMail(const TSievoUser& account);
    void SetNextCheck(const TSievoUser& account);
    void EnableTimerFromSettings();
    void POPNextInfoUpdated(int Num, int count);

    std::unique_ptr<MailSender> smtp_;
    ConnectionGuard connection_;
    PassFaults faults_;
    bool passRunning_ = false;
    bool shuttingDown_ = false;
    bool stopping_ = false;
    int lastPassErrors_ = 0;
};

// Whether SIEVOMATIC_DRY_RUN=1 asks for a pass that judges but changes nothing.
bool DryRunRequested();

}  // namespace sievo
