#include "engine/judging.h"

#include <optional>
#include <string>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/file_cache.h"
#include "engine/blocklist_check.h"
#include "engine/rule.h"
#include "engine/rule_evaluation.h"
#include "engine/scan_judge.h"
#include "engine/sievo_message.h"

namespace sievo {

namespace {

void JudgeMessage(const TmsHeaders& headers, int index, const TSievoUser& account,
                  const BlocklistListings& blocklists, ScanJudge& judge) {
    // The snapshot depends on the header lines alone, so it is built once for all rules.
    std::optional<TSievoMessage> message;
    const int rules = rule_store::Count();
    for (int n = 1; n <= rules; ++n) {
        const TSievoRule rule(n);
        if (!message) {
            message.emplace(headers, index);
            message->Blocklists = &blocklists;
        }
        if (rule.Active)
            EvaluateRule(judge, account, rule, *message);
    }
}

}  // namespace

void JudgeMailbox(const TmsRemoteInfo& items, const TSievoUser& account, ScanJudge& judge,
                  const bool& stop, DnsResolver& resolver) {
    ActivityLog("Enumerating Mail Headers", true, &account);
    const BlocklistListings blocklists(items, account, resolver);
    FileCheckScope fileChecks;
    for (int i = 0; i < items.Count() && !stop; ++i) {
        fileChecks.NextStep();
        ActivityLog("Checking Header " + std::to_string(i), true, &account);
        if (items[i].HeaderTooLarge)
            continue;  // nothing to judge it by; the listing said so
        try {
            JudgeMessage(items[i].Headers, i, account, blocklists, judge);
        } catch (const std::exception& error) {
            judge.Forget(i);
            AppException(error);
        }
        judge.FlushHits(false);
    }
    judge.FlushHits(true);
}

}  // namespace sievo
