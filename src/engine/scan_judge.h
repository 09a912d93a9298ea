#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "engine/action_ledger.h"
#include "engine/pass_faults.h"
#include "engine/rule.h"
#include "engine/rule_evaluation.h"
#include "engine/user_questions.h"

namespace sievo {

class MailSender;
class MailboxListing;
class SoundPlayer;

// What a rule's hit does during a scan: marks in the mailbox's listing, rows of the
// confirmation window, the hit sound, and replies and reports, each sent at most once per
// message and rule however often the message is judged again: the send is recorded
// before it starts. A dry run sends nothing.
class ScanJudge : public RuleHitActions {
public:
    static constexpr const char* kTrashAction = "trash";

    // keys[i] is the lasting name of message i of the listing.
    ScanJudge(MailboxListing& listing, MailSender& smtp, SoundPlayer& sounds, ActionLedger& ledger,
              PassFaults& faults, std::vector<std::string> keys, bool dryRun);

    // Hits are written to rules.ini at most once a second and when the judging ends.
    void CountHit(int rule) override { tally_.Count(rule); }
    void Unmark(int index) override;
    void MarkForDelete(int index) override;
    // A message already copied to the Trash at an earlier check is not copied again.
    void MarkForRetrieve(int index) override;
    void AddtoDeleteQueue(int index) override;
    void PlayHitSound() override;
    void SendReport(const TSievoUser& account, const TSievoRule& rule,
                    const TSievoMessage& message) override;
    void SendReply(const TSievoUser& account, const TSievoRule& rule,
                   const TSievoMessage& message) override;

    // Takes back everything the rules did to a message whose judging failed.
    void Forget(int index);
    // Writes the hits counted since the last write, when enough time has passed or when
    // asked to write now. A refused write is reported once; the hits wait for the next.
    void FlushHits(bool now);
    // Records that message `index` was copied for the Trash, as soon as the copy is
    // written and before its deletion is sent, so that a check cut short after the copy
    // does not copy it again. A refused write is reported once (the copy is then made
    // again at the next check).
    void RecordCopied(int index);

    const std::vector<DeletionRow>& Rows() const { return rows_; }
    const std::string& KeyOf(int index) const { return keys_.at(static_cast<std::size_t>(index)); }

private:
    template <typename Send>
    void SendOnce(const std::string& action, int index, Send send);

    MailboxListing& listing_;
    MailSender& smtp_;
    SoundPlayer& sounds_;
    ActionLedger& ledger_;
    PassFaults& faults_;
    std::vector<std::string> keys_;
    bool dryRun_;
    std::vector<DeletionRow> rows_;
    HitTally tally_;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};

}  // namespace sievo
