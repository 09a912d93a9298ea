#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/connection.h"
#include "engine/imap_push.h"
#include "engine/pass_faults.h"
#include "engine/replies.h"
#include "engine/schedule_pause.h"
#include "mail/mailbox_session.h"
#include "net/ag_ras.h"
#include "net/dns_resolver.h"

namespace sievo {

class CheckObserver;
class DialUpLink;
class Launcher;
class ScanJudge;
class SoundPlayer;
class TSievoUser;
class UserQuestions;

// Everything through which the engine reaches its user; the windowed program, the headless
// pass and the tests each supply their own.
struct EngineUser {
    CheckObserver& observer;
    UserQuestions& questions;
    SoundPlayer& sounds;
    Launcher& launcher;
};

// The checking of mailboxes: the passes over the accounts (on the schedule, on request,
// once from the command line) and the scan of one account, from the connection to the
// deletions and the next check time.
class MailEngine {
public:
    // The interval of the schedule timer.
    static constexpr int kTimerIntervalMs = 10000;

    // Replies and reports go through smtp; without one, through the accounts' SMTP servers.
    explicit MailEngine(EngineUser user, std::unique_ptr<MailSender> smtp = nullptr,
                        PushTiming pushTiming = {});

    // The automatic pass on each tick: every active account, each when it is due.
    void Timer1Timer();
    // Clean Mail Now: every active account at once, next check times left alone.
    void C3Click();
    // The command line's single pass: as Clean Mail Now, announced in the log.
    void RunSinglePass();

    // Checks one account; a scheduled check only when it is due, unless the server has told
    // of new mail.
    void ScanMailbox(PassMode Mode, TSievoUser& Account, bool newMailTold = false);

    // Makes sure the network is there for the account (see ConnectionGuard).
    int EnsureConnection(TSievoUser& Account, PassMode Mode) {
        return connection_.EnsureConnection(Account, Mode);
    }

    // The schedule: a timer whose tick checks the accounts that are due.
    void StartSchedule();
    bool ScheduleRunning() const { return Timer1.isActive(); }
    // Auto-check on or off: the schedule starts or stops, and the setting is saved for the
    // next start.
    void SetAutoCheck(bool on);
    [[nodiscard]] SchedulePause PauseSchedule() { return SchedulePause(Timer1); }
    // Push on or off: while on, the IMAP accounts whose servers offer IDLE are watched, and
    // one that receives mail is checked at once, as the schedule would check it.
    void WatchForNewMail(bool on);
    const ImapPush& Push() const { return push_; }

    // Whether an account's scan is under way (a pass may be between two of them).
    bool ScanRunning() const { return ScanInProgress; }
    // Cancels the running scan's session, when one is open; the scan ends as cancelled.
    void CancelScan();
    // Fetches message `index` of the running scan's listing for viewing, over a session of
    // its own (the scan has only set marks so far), and answers the file's path.
    std::string FetchForViewing(int index);

    // The dial-up entries in their order, and the dial-up component's current entry.
    const std::vector<std::string>& DialUpEntries() const { return agRas1.Entries(); }
    const std::string& DialUpService() const { return agRas1.Service(); }
    // The dial-up component, for mail sent outside a check.
    DialUpLink& DialUp() { return agRas1; }

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

private:
    // Runs every active account through the scan in the given mode; with `pushedAccount`,
    // only that one, whose server told of new mail.
    void RunPass(PassMode mode, int pushedAccount = 0);
    // The check of an account that received mail; false when it must wait.
    bool CheckPushed(int accountIndex);
    bool ConnectAndList(PassMode mode, TSievoUser& account, const std::string& bin);
    MailboxEvents SessionEvents();
    void SendLeftoverCopiesToTrash(const TSievoUser& account);
    int JudgeAndTransfer(PassMode mode, TSievoUser& account);
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

    EngineUser user_;
    QTimer Timer1;
    // The session of the account being scanned, made for each account anew.
    std::unique_ptr<MailboxSession> POP;
    TagRas agRas1;
    bool ScanInProgress = false;
    std::unique_ptr<MailSender> smtp_;
    ConnectionGuard connection_;
    ImapPush push_;
    PassFaults faults_;
    // Asks the system's name server for the DNSBL rules.
    UdpDnsResolver resolver_;
    bool passRunning_ = false;
    bool shuttingDown_ = false;
    bool stopping_ = false;
    int lastPassErrors_ = 0;
};

// Whether SIEVOMATIC_DRY_RUN=1 asks for a pass that judges but changes nothing.
bool DryRunRequested();

}  // namespace sievo
