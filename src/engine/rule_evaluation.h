#pragma once

#include <string>
#include <string_view>

namespace sievo {

class TSievoRule;
class TSievoUser;
class TSievoMessage;

// What a rule's hit does outside the evaluation: the marks in the mail client, the
// confirmation list, the sound, and the messages sent to the sender.
class RuleHitActions {
public:
    virtual ~RuleHitActions() = default;
    // Counts the hit of the rule in rules.ini.
    virtual void CountHit(int rule) = 0;
    virtual void Unmark(int index) = 0;
    virtual void MarkForDelete(int index) = 0;
    virtual void MarkForRetrieve(int index) = 0;
    virtual void AddtoDeleteQueue(int index) = 0;
    virtual void PlayHitSound() = 0;
    virtual void SendReport(const TSievoUser& account, const TSievoRule& rule,
                            const TSievoMessage& message) = 0;
    virtual void SendReply(const TSievoUser& account, const TSievoRule& rule,
                           const TSievoMessage& message) = 0;
};

// The name of the rule in the log, built from its criterion and value.
std::string RuleLabel(const TSievoRule& rule);

// True when text holds "@" and everything before the first "@" is a decimal digit.
bool FBOOLIsNumericalUserName(std::string_view text);

// Judges the message by one active rule and, on a hit that no friend vetoes, carries out
// the rule's actions. A rule with an unknown criterion does nothing.
void EvaluateRule(RuleHitActions& actions, const TSievoUser& account, const TSievoRule& rule,
                  const TSievoMessage& message);

}  // namespace sievo
