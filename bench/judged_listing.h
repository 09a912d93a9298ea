#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/account.h"
#include "engine/action_ledger.h"
#include "engine/judging.h"
#include "engine/replies.h"
#include "engine/scan_judge.h"
#include "mail/ms_remote_pop.h"
#include "silent_sounds.h"
#include "store/accounts_store.h"

namespace sievo::bench {

// Sends nothing: a benchmark of the judging measures the judging.
class NoMail : public MailSender {
public:
    void SendMail(const TSievoUser&, TmsMessage&) override {}
};

// A listing of generated header blocks judged for account 1 as a check judges it, with
// nothing sent and no sound.
class JudgedListing {
public:
    JudgedListing(int messages, const std::function<TmsHeaders(int)>& headers)
        : account_(accounts::ForCheck(1)), ledger_(account_) {
        for (int n = 0; n < messages; ++n) {
            TmsRemoteInfoItem item;
            item.Headers = headers(n);
            keys_.push_back(MessageKey("", item.Headers));
            pop_.RemoteInfo().Add(item);
        }
    }

    void Judge(DnsResolver& resolver) {
        ScanJudge judge(pop_, mail_, sounds_, ledger_, faults_, keys_, false);
        const bool stop = false;
        JudgeMailbox(pop_.RemoteInfo(), account_, judge, stop, resolver);
    }

    int Condemned() const {
        int condemned = 0;
        for (const auto& item : pop_.RemoteInfo())
            condemned += item.MarkedForDelete() ? 1 : 0;
        return condemned;
    }

private:
    TmsRemotePOP pop_;
    std::vector<std::string> keys_;
    const TSievoUser account_;
    NoMail mail_;
    SilentSounds sounds_;
    ActionLedger ledger_;
    PassFaults faults_;
};

}  // namespace sievo::bench
