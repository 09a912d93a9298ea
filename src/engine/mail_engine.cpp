#include "engine/mail_engine.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <cstdlib>
#include <filesystem>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "engine/action_ledger.h"
#include "engine/check_observer.h"
#include "engine/data_files_check.h"
#include "engine/judging.h"
#include "engine/leftover_copies.h"
#include "engine/scan_judge.h"
#include "engine/smtp_sender.h"
#include "engine/sound_player.h"
#include "engine/trash.h"
#include "engine/user_questions.h"
#include "engine/user_services.h"
#include "engine/view_retrieval.h"
#include "net/event_pump.h"
#include "net/net_errors.h"
#include "store/accounts_store.h"
#include "store/settings_store.h"

namespace sievo {

namespace {

constexpr int kPopTimeOutSeconds = 120;
constexpr int kMinutesPerDay = 1440;
constexpr int kMinutesPerHour = 60;

// A date-time text of the account's section; a missing one is none, and a text of another
// locale is announced.
std::optional<QDateTime> ReadAccountDate(const TSievoUser& account,
                                         const std::optional<std::string>& text) {
    if (!text)
        return std::nullopt;
    auto when = ParseDateTimeText(*text);
    if (!when)
        ActivityLog("Date time translation -- converting to current format", false, &account);
    return when;
}

std::vector<std::string> MessageKeys(const TmsRemoteInfo& items) {
    std::vector<std::string> keys;
    for (const auto& item : items)
        keys.push_back(MessageKey(item.UniqueId, item.Headers));
    return keys;
}

// A ledger written before messages were known by the server's ids names them by their
// header block; without this, every reply would go out a second time.
void AdoptHeaderBlockKeys(ActionLedger& ledger, const TmsRemoteInfo& items) {
    // Hashing every header block costs more than the rest of the judging of a big mailbox.
    if (!ledger.HoldsHeaderBlockKeys())
        return;
    for (const auto& item : items) {
        if (!item.UniqueId.empty())
            ledger.Rename(MessageKey("", item.Headers), MessageKey(item.UniqueId, item.Headers));
    }
}

int CountMarkedForDelete(const TmsRemoteInfo& items) {
    int count = 0;
    for (const auto& item : items)
        count += item.MarkedForDelete() ? 1 : 0;
    return count;
}

}  // namespace

bool DryRunRequested() {
    const char* value = std::getenv("SIEVOMATIC_DRY_RUN");
    return value && std::string(value) == "1";
}

MailEngine::MailEngine(EngineUser user, std::unique_ptr<MailSender> smtp, PushTiming pushTiming)
    : user_(user),
      smtp_(smtp ? std::move(smtp) : std::make_unique<SmtpMailSender>(&agRas1)),
      connection_(agRas1, user.questions),
      push_([this](int index) { return CheckPushed(index); }, pushTiming) {
    Timer1.setInterval(kTimerIntervalMs);
    QObject::connect(&Timer1, &QTimer::timeout, [this] { Timer1Timer(); });
}

MailboxEvents MailEngine::SessionEvents() {
    return {.error = [](const std::string& text) { ActivityLog(text); },
            .listed = [this](int num, int count) { POPNextInfoUpdated(num, count); },
            .starting =
                [this] {
                    if (shuttingDown_)
                        POP->Cancel();
                },
            .cacheNotSaved = [](const std::string& text) { ActivityLog(text, true); },
            .notStored = [this](const std::string& text) { faults_.ReportOnce(Exception(text)); }};
}

void MailEngine::Timer1Timer() {
    RunPass(PassMode::kScheduled);
    // Accounts added, changed or removed meanwhile are watched as they are now.
    ReportingFailure([this] { push_.Refresh(); });
}

// Waits while a pass runs or a dialog holds the schedule; the next pass asks again.
bool MailEngine::CheckPushed(int accountIndex) {
    if (passRunning_ || stopping_ || !Timer1.isActive())
        return false;
    RunPass(PassMode::kScheduled, accountIndex);
    return true;
}

void MailEngine::WatchForNewMail(bool on) {
    if (on)
        push_.Start();
    else
        push_.Stop();
}

void MailEngine::C3Click() {
    RunPass(PassMode::kUserStarted);
}

void MailEngine::RunSinglePass() {
    ActivityLog("Running in single pass mode.");
    PumpEvents();
    C3Click();
    PumpEvents();
}

void MailEngine::RunPass(PassMode mode, int pushedAccount) {
    if (passRunning_) {
        ActivityLog("A check is already running; this one is not started.", true);
        return;
    }
    const QScopedValueRollback running(passRunning_, true);
    const std::uint16_t errorsBefore = TheActivityLog().ErrorCount();
    faults_.Reset();
    Timer1.stop();
    // Without readable rules every message would be kept, and nothing may be written over a
    // damaged file: no server is asked until it is repaired.
    if (!DataFilesUsable()) {
        Timer1.start();
        lastPassErrors_ = static_cast<std::uint16_t>(TheActivityLog().ErrorCount() - errorsBefore);
        return;
    }
    if (mode == PassMode::kScheduled && !settings::AutoEnabled())
        return;  // the timer stays off
    const bool dryRun = DryRunRequested();
    if (dryRun)
        ActivityLog(
            "Dry run: messages are judged and logged, but nothing is deleted, sent or "
            "moved to the Trash, and check times stay as they are.");
    const int count = accounts::Count();
    for (int n = 1; n <= count && !stopping_; ++n) {
        if (pushedAccount != 0 && n != pushedAccount)
            continue;
        // An error in one account must not keep the others from being checked.
        try {
            TSievoUser account = accounts::ForCheck(n);
            if (account.Active)
                ScanMailbox(mode, account, pushedAccount != 0);
        } catch (const std::exception& error) {
            AppException(error);
        }
    }
    if (dryRun)
        ActivityLog("Dry run finished: nothing was deleted, sent or moved to the Trash.");
    if (!stopping_)
        Timer1.start();
    SaveLog();
    lastPassErrors_ = static_cast<std::uint16_t>(TheActivityLog().ErrorCount() - errorsBefore);
    push_.CheckWaiting();
}

// After every pass, so a program that is killed later loses none of its lines.
void MailEngine::SaveLog() {
    if (!TheActivityLog().IsOpen())
        return;
    ReportingFailure([] { TheActivityLog().Save(); });
}

void MailEngine::ScanMailbox(PassMode Mode, TSievoUser& Account, bool newMailTold) {
    const bool manual = Mode == PassMode::kUserStarted;
    const bool dryRun = DryRunRequested();
    if (manual)
        user_.observer.ShowScanProgress(Account);
    ScanInProgress = true;
    // Whatever way the scan ends, it ends the same: nothing left set for the next one.
    bool timerFromSettings = false;
    const auto endScan = qScopeGuard([&] { EndScan(timerFromSettings); });
    const std::string bin = EnsureTempFolder();

    const QDateTime now = QDateTime::currentDateTime();
    const StoredAccount stored = accounts::Load(Account.Index);
    ReadAccountDate(Account, stored.lastDateTime);
    const QDateTime next = ReadAccountDate(Account, stored.nextDateTime).value_or(now);
    if (now < next && !manual && !newMailTold)
        return;
    // The account's IMAP watch gives way, so the account has one connection at a time.
    const ImapPush::Pause watchPaused(push_, Account.Index);
    if (stopping_ || !ConnectAndList(Mode, Account, bin)) {
        timerFromSettings = true;
        return;
    }
    const int deletions = JudgeAndTransfer(Mode, Account);
    ActivityLog(
        "END Scanning mailbox, " + std::to_string(deletions) + " total SPAM messages sieved", false,
        &Account);
    ActivityLog("Closing POP Connection", true, &Account);
    ReportingFailure([this] { POP->Commit(); });
    if (dryRun)
        return;
    ReportingFailure([&Account] {
        const std::string bin = ProgramFolder() + "temp/*.*";
        if (FLINTdeleteToBin(bin) == 0)
            ActivityLog("Successfully sent " + bin + " to reycle bin.", true, &Account);
    });
    if (!manual)
        ReportingFailure([this, &Account] { SetNextCheck(Account); });
}

// The steps after the judging: each is tried whatever the one before it met, and a failure
// (a full disk, say) is told once in the pass.
void MailEngine::ReportingFailure(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& error) {
        faults_.ReportOnce(error);
    }
}

// A check that ended before its copies reached the Trash (a lost connection, a killed
// program, a full disk) left them in the bin folder; they go once the listing has told
// which of their messages are still there (recorded as copied), before new ones join them.
void MailEngine::SendLeftoverCopiesToTrash(const TSievoUser& account) {
    const std::string temp = EnsureTempFolder();
    if (std::filesystem::is_empty(temp))
        return;
    if (FLINTdeleteToBin(temp + "*.*") == 0)
        ActivityLog("Copies left by an earlier check were sent to the Trash.", true, &account);
}

// Judges every message, lets the user confirm and carries out the marks; answers the
// number of deletions.
int MailEngine::JudgeAndTransfer(PassMode mode, TSievoUser& account) {
    const bool dryRun = DryRunRequested();
    PumpEvents();
    const auto keys = MessageKeys(POP->Listing());
    ActionLedger ledger(account);
    AdoptHeaderBlockKeys(ledger, POP->Listing());
    ReportingFailure([&] { ledger.KeepOnly({keys.begin(), keys.end()}); });
    if (!dryRun) {
        ReportingFailure(
            [&] { AdoptLeftoverCopies(POP->MessageFolder(), POP->Listing(), keys, ledger); });
        ReportingFailure([&] { SendLeftoverCopiesToTrash(account); });
    }
    ScanJudge judge(*POP, *smtp_, user_.sounds, ledger, faults_, keys, dryRun);
    const bool newMail = POP->Listing().Count() > 0;
    if (newMail) {
        NotifyNewMail(account);
        JudgeMailbox(POP->Listing(), account, judge, stopping_, resolver_);
    } else {
        user_.observer.SetMailIcon(false, "No new mail");
        ActivityLog("There are no messages");
    }
    if (newMail && !stopping_ &&
        (mode == PassMode::kUserStarted ? account.RunAfterManual : account.RunAfterAuto))
        FBOOLLaunchMailClient(user_.launcher, account);
    return ConfirmAndTransfer(account, judge);
}

void MailEngine::EndScan(bool timerFromSettings) {
    ScanInProgress = false;
    CloseScanProgress();
    if (stopping_)
        Timer1.stop();
    else if (timerFromSettings)
        ReportingFailure([this] { EnableTimerFromSettings(); });  // never raise from here
    else
        Timer1.start();
}

void MailEngine::CloseScanProgress() {
    if (user_.observer.ScanProgressVisible())
        user_.observer.CloseScanProgress();
}

// Connects and lists every message; false when the account is skipped or an error ended
// the scan (reported already).
bool MailEngine::ConnectAndList(PassMode mode, TSievoUser& account, const std::string& bin) {
    try {
        if (connection_.EnsureConnection(account, mode) == -1)
            return false;
        POP = MakeMailboxSession(account, SessionEvents());
        POP->SetTimeOut(kPopTimeOutSeconds);
        POP->SetMessageFolder(bin);
        POP->Connect();
        ActivityLog("Downloading Headers", true, &account);
        PumpEvents();
        POP->List();
        return true;
    } catch (const std::exception& error) {
        AppException(error);
        if (POP)
            POP->Cancel();
        return false;
    }
}

void MailEngine::NotifyNewMail(const TSievoUser& account) {
    user_.observer.SetMailIcon(true, "You have " + std::to_string(POP->Listing().Count()) +
                                         " new mail messages -- click to view");
    if (account.MailNotify) {
        if (!account.MailNotifyWAV.empty())
            FLBOOLCorPlaySound(user_.sounds, account.MailNotifyWAV);
        else
            user_.sounds.Beep();
    }
}

// Lets the user confirm, then carries out the marks; answers the number of deletions.
int MailEngine::ConfirmAndTransfer(TSievoUser& account, ScanJudge& judge) {
    const bool dryRun = DryRunRequested();
    try {
        const auto& rows = judge.Rows();
        if (!rows.empty() && !dryRun) {
            const std::vector<bool> ticked = user_.questions.ConfirmDeletions(rows);
            for (std::size_t r = 0; r < rows.size(); ++r)
                if (r >= ticked.size() || !ticked[r])
                    POP->Unmark(rows[r].index);
        }
        const int decided = CountMarkedForDelete(POP->Listing());
        if (dryRun)
            for (int i = 0; i < POP->Listing().Count(); ++i)
                POP->Unmark(i);
        // A stopped program commits nothing: the session was cancelled without QUIT, and
        // a new one must not be opened to carry out the marks.
        if (stopping_)
            throw ECanceledError(SocketMessageText(kMsgCanceled));
        POP->CarryOutMarks([&judge](int index) { judge.RecordCopied(index); });
        user_.observer.RefreshRuleList();
        // Counted again after the transfer: a message whose copy could not be kept was
        // not deleted either. A dry run tells what it would have deleted.
        return dryRun ? decided : CountMarkedForDelete(POP->Listing());
    } catch (const std::exception& error) {
        ActivityLog(std::string("Error ") + error.what() + " Closing POP Connection", true,
                    &account);
        try {
            POP->Commit();
        } catch (const std::exception& closeError) {
            AppException(closeError);
        }
        throw;
    }
}

void MailEngine::SetNextCheck(const TSievoUser& account) {
    const QDateTime now = QDateTime::currentDateTime();
    const int minutes = account.Minutes;
    QDateTime next;
    if (minutes >= kMinutesPerDay)
        next = now.addDays(1);
    else if (minutes >= kMinutesPerHour)
        next = now.addSecs(qint64(minutes / kMinutesPerHour) * 3600);
    else
        next = now.addSecs(qint64(minutes) * 60);
    accounts::SaveCheckTimes(account.Index, next, now);
}

void MailEngine::EnableTimerFromSettings() {
    if (settings::AutoEnabled())
        Timer1.start();
    else
        Timer1.stop();
}

void MailEngine::POPNextInfoUpdated(int Num, int count) {
    if (!user_.observer.ScanProgressVisible())
        return;
    const std::string subject = GetHeaderField(POP->Listing()[Num].Headers, "Subject");
    user_.observer.SetScanProgress(
        Num + 1, count,
        std::to_string(Num + 1) + " of " + std::to_string(count) + " -- " + subject);
}

void MailEngine::StartSchedule() {
    Timer1.start();
}

void MailEngine::SetAutoCheck(bool on) {
    if (on)
        Timer1.start();
    else
        Timer1.stop();
    settings::SetAutoEnabled(on);
}

void MailEngine::CancelScan() {
    if (POP && POP->Connected())
        POP->Cancel();
}

std::string MailEngine::FetchForViewing(int index) {
    POP->Connect();
    const std::string file = RetrieveForViewing(*POP, index);
    // Only marks are set so far; the scan deletes after the confirmation.
    POP->Commit();
    return file;
}

void MailEngine::Shutdown() {
    shuttingDown_ = true;
    Timer1.stop();
    push_.Stop();
    CancelScan();
}

void MailEngine::Abort() {
    stopping_ = true;
    shuttingDown_ = true;
    Timer1.stop();
    push_.Stop();
    if (POP)
        POP->Cancel();
    smtp_->Cancel();
}

}  // namespace sievo
