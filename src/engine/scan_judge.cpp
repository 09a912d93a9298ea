#include "engine/scan_judge.h"

#include <algorithm>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "engine/replies.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "engine/user_services.h"
#include "mail/mailbox_listing.h"

namespace sievo {

namespace {

// Records the send in the ledger just before it starts, so that no crash, kill or lost
// answer can make it happen twice; takes the record back only when the send surely did
// not reach the server.
class RecordedSender : public MailSender {
public:
    RecordedSender(MailSender& smtp, ActionLedger& ledger, PassFaults& faults,
                   const std::string& key, const std::string& action)
        : smtp_(smtp), ledger_(ledger), faults_(faults), key_(key), action_(action) {}

    void SendMail(const TSievoUser& account, TmsMessage& message) override {
        try {
            ledger_.MarkDone(key_, action_);
        } catch (const std::exception& error) {
            faults_.StopSending(error);
            return;
        }
        try {
            smtp_.SendMail(account, message);
        } catch (const MailNotSentError&) {
            TakeBackRecord();
            throw;
        }
    }

private:
    void TakeBackRecord() {
        try {
            ledger_.Unmark(key_, action_);
        } catch (const std::exception& error) {
            faults_.StopSending(error);
        }
    }

    MailSender& smtp_;
    ActionLedger& ledger_;
    PassFaults& faults_;
    const std::string& key_;
    const std::string& action_;
};

}  // namespace

ScanJudge::ScanJudge(MailboxListing& listing, MailSender& smtp, SoundPlayer& sounds,
                     ActionLedger& ledger, PassFaults& faults, std::vector<std::string> keys,
                     bool dryRun)
    : listing_(listing),
      smtp_(smtp),
      sounds_(sounds),
      ledger_(ledger),
      faults_(faults),
      keys_(std::move(keys)),
      dryRun_(dryRun) {}

void ScanJudge::Unmark(int index) {
    listing_.Unmark(index);
}

void ScanJudge::MarkForDelete(int index) {
    listing_.MarkForDelete(index);
}

void ScanJudge::MarkForRetrieve(int index) {
    if (!ledger_.WasDone(KeyOf(index), kTrashAction))
        listing_.MarkForRetrieve(index);
}

void ScanJudge::AddtoDeleteQueue(int index) {
    const TmsHeaders& headers = listing_.Listing()[index].Headers;
    std::string from = GetHeaderField(headers, "From");
    if (from.empty())
        from = GetHeaderField(headers, "Return-Path");
    rows_.push_back(
        {GetHeaderField(headers, "Subject"), from, GetHeaderField(headers, "Date"), index});
}

void ScanJudge::PlayHitSound() {
    FLBOOLCorPlaySound(sounds_, ProgramFile("gotit.wav"));
}

// A reply or report that fails, or cannot even be composed, is reported; the hit keeps
// deciding the message's fate.
template <typename Send>
void ScanJudge::SendOnce(const std::string& action, int index, Send send) {
    if (ledger_.WasDone(KeyOf(index), action) || faults_.SendingStopped())
        return;
    if (dryRun_) {
        ActivityLog("Dry run -- not sent: " + action, true);
        return;
    }
    RecordedSender recorded(smtp_, ledger_, faults_, KeyOf(index), action);
    try {
        send(recorded);
    } catch (const std::exception& error) {
        AppException(error);
    }
}

void ScanJudge::SendReport(const TSievoUser& account, const TSievoRule& rule,
                           const TSievoMessage& message) {
    SendOnce("report " + std::to_string(rule.Index), message.Index,
             [&](MailSender& smtp) { PROCSendReport(smtp, account, rule, message); });
}

void ScanJudge::SendReply(const TSievoUser& account, const TSievoRule& rule,
                          const TSievoMessage& message) {
    SendOnce("reply " + std::to_string(rule.Index), message.Index,
             [&](MailSender& smtp) { PROCSendReply(smtp, account, rule, message); });
}

void ScanJudge::Forget(int index) {
    listing_.Unmark(index);
    std::erase_if(rows_, [index](const DeletionRow& row) { return row.index == index; });
}

void ScanJudge::FlushHits(bool now) {
    // Often enough that the rule list shows the counts grow during a long check.
    constexpr auto kFlushInterval = std::chrono::seconds(1);
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - lastFlush_ < kFlushInterval)
        return;
    lastFlush_ = time;
    try {
        tally_.Flush();
    } catch (const std::exception& error) {
        faults_.ReportOnce(error);
    }
}

void ScanJudge::RecordCopied(int index) {
    try {
        ledger_.MarkDone(KeyOf(index), kTrashAction);
    } catch (const std::exception& error) {
        faults_.ReportOnce(error);
    }
}

}  // namespace sievo
