#include "engine/scan_judge.h"

#include <algorithm>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "engine/replies.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "engine/user_services.h"
#include "mail/ms_remote_pop.h"

namespace sievo {

ScanJudge::ScanJudge(TmsRemotePOP& pop, MailSender& smtp, ActionLedger& ledger,
                     std::vector<std::string> keys, bool dryRun)
    : pop_(pop), smtp_(smtp), ledger_(ledger), keys_(std::move(keys)), dryRun_(dryRun) {}

void ScanJudge::Unmark(int index) {
    pop_.Unmark(index);
}

void ScanJudge::MarkForDelete(int index) {
    pop_.MarkForDelete(index);
}

void ScanJudge::MarkForRetrieve(int index) {
    if (!ledger_.WasDone(KeyOf(index), kTrashAction))
        pop_.MarkForRetrieve(index);
}

void ScanJudge::AddtoDeleteQueue(int index) {
    const TmsHeaders& headers = pop_.RemoteInfo()[index].Headers;
    std::string from = GetHeaderField(headers, "From");
    if (from.empty())
        from = GetHeaderField(headers, "Return-Path");
    rows_.push_back(
        {GetHeaderField(headers, "Subject"), from, GetHeaderField(headers, "Date"), index});
}

void ScanJudge::PlayHitSound() {
    FLBOOLCorPlaySound(ProgramFile("gotit.wav"));
}

template <typename Send>
void ScanJudge::SendOnce(const std::string& action, int index, Send send) {
    if (ledger_.WasDone(KeyOf(index), action))
        return;
    if (dryRun_) {
        ActivityLog("Dry run -- not sent: " + action, true);
        return;
    }
    if (send())
        ledger_.MarkDone(KeyOf(index), action);
}

void ScanJudge::SendReport(const TSievoUser& account, const TSievoRule& rule,
                           const TSievoMessage& message) {
    SendOnce("report " + std::to_string(rule.Index), message.Index,
             [&] { return PROCSendReport(smtp_, account, rule, message); });
}

void ScanJudge::SendReply(const TSievoUser& account, const TSievoRule& rule,
                          const TSievoMessage& message) {
    SendOnce("reply " + std::to_string(rule.Index), message.Index,
             [&] { return PROCSendReply(smtp_, account, rule, message); });
}

void ScanJudge::Forget(int index) {
    pop_.Unmark(index);
    std::erase_if(rows_, [index](const DeletionRow& row) { return row.index == index; });
}

void ScanJudge::RecordRetrieved() {
    const auto& items = pop_.RemoteInfo();
    for (int i = 0; i < items.Count(); ++i)
        if (items[i].MarkedForRetrieve())
            ledger_.MarkDone(KeyOf(i), kTrashAction);
}

}  // namespace sievo
