#include "engine/rule_evaluation.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "config/text.h"
#include "engine/address_lists.h"
#include "engine/blocklist_check.h"
#include "engine/rule.h"
#include "engine/server_signals.h"
#include "engine/sievo_message.h"
#include "net/event_pump.h"

namespace sievo {

namespace {

enum class Criterion {
    kSubject,
    kHeader,
    kFrom,
    kNumericSender,
    kSpammerList,
    kAuthenticationFailed,
    kMarkedAsSpam,
    kBlocklisted,
    kNone
};

Criterion CriterionOf(const std::string& keyword) {
    if (keyword == "SUBCONT")
        return Criterion::kSubject;
    if (keyword == "HEADER")
        return Criterion::kHeader;
    if (keyword == "FROM")
        return Criterion::kFrom;
    if (keyword == "FROMNUM")
        return Criterion::kNumericSender;
    if (keyword == "LIST")
        return Criterion::kSpammerList;
    if (keyword == "AUTHFAIL")
        return Criterion::kAuthenticationFailed;
    if (keyword == "SPAMFLAG")
        return Criterion::kMarkedAsSpam;
    if (keyword == "DNSBL")
        return Criterion::kBlocklisted;
    return Criterion::kNone;
}

// Only the letters a to z are folded; an empty value never occurs.
bool ContainsIgnoringAsciiCase(const std::string& upperText, const std::string& value) {
    return !value.empty() && upperText.find(ToUpperAscii(value)) != std::string::npos;
}

bool CriterionMatches(Criterion criterion, const TSievoUser& account, const TSievoRule& rule,
                      const TSievoMessage& message) {
    switch (criterion) {
        case Criterion::kSubject:
            return ContainsIgnoringAsciiCase(message.UpperSubject, rule.Value);
        case Criterion::kHeader:
            return ContainsIgnoringAsciiCase(message.UpperHeaderText, rule.Value);
        case Criterion::kFrom:
            return ContainsIgnoringAsciiCase(message.UpperFromField, rule.Value);
        case Criterion::kNumericSender:
            return FBOOLIsNumericalUserName(ToUpperAscii(message.FromAddress));
        case Criterion::kAuthenticationFailed:
            return AuthenticationFailed(message.Headers, rule.Value, account.AuthServId);
        case Criterion::kMarkedAsSpam:
            return MarkedAsSpam(message.Headers, rule.Value);
        case Criterion::kBlocklisted:
            return message.Blocklists && message.Blocklists->Listed(rule.Value, message.Index);
        case Criterion::kSpammerList:
        case Criterion::kNone:
            return false;
    }
    return false;
}

void CarryOutHit(RuleHitActions& actions, Criterion criterion, const TSievoUser& account,
                 const TSievoRule& rule, const TSievoMessage& message) {
    if (criterion != Criterion::kSpammerList)
        actions.CountHit(rule.Index);
    actions.Unmark(message.Index);
    if (rule.DeleteAction) {
        actions.MarkForDelete(message.Index);
        if (rule.Confirm)
            actions.AddtoDeleteQueue(message.Index);
        ActivityLog("Message deleted by RULE: " + RuleLabel(rule) +
                    " -- SUBJECT: " + message.Subject);
    } else {
        actions.Unmark(message.Index);
        if (criterion != Criterion::kSubject)
            ActivityLog("Message will NOT be deleted by RULE: " + RuleLabel(rule) +
                        " -- SUBJECT: " + message.Subject);
    }
    if (rule.Beep)
        actions.PlayHitSound();
    if (rule.Report)
        actions.SendReport(account, rule, message);
    if (rule.Reply)
        actions.SendReply(account, rule, message);
    if (rule.SendtoRecycle)
        actions.MarkForRetrieve(message.Index);
}

}  // namespace

std::string RuleLabel(const TSievoRule& rule) {
    const std::string quoted = "\"" + rule.Value + "\"";
    switch (CriterionOf(rule.Criteria)) {
        case Criterion::kSubject:
            return "The subject contains " + quoted;
        case Criterion::kHeader:
            return "The header contains " + quoted;
        case Criterion::kFrom:
            return "The message is from  " + quoted;
        case Criterion::kNumericSender:
            return "The message is from a username that is a number " + quoted;
        case Criterion::kSpammerList:
            return "List of known spammers";
        case Criterion::kAuthenticationFailed:
            return "The sender failed authentication " +
                   (rule.Value.empty() ? "\"" + std::string(kDefaultAuthMethods) + "\"" : quoted);
        case Criterion::kMarkedAsSpam:
            if (rule.Value.empty())
                return "The server marked the message as spam";
            return "The server marked the message as spam or scored it at least " + quoted;
        case Criterion::kBlocklisted:
            return "The sending host is on the blocklist " + quoted;
        case Criterion::kNone:
            break;
    }
    return "";
}

bool FBOOLIsNumericalUserName(std::string_view text) {
    for (char c : text) {
        if (c == '@')
            return true;
        if (c < '0' || c > '9')
            return false;
    }
    return false;
}

void EvaluateRule(RuleHitActions& actions, const TSievoUser& account, const TSievoRule& rule,
                  const TSievoMessage& message) {
    const Criterion criterion = CriterionOf(rule.Criteria);
    if (criterion == Criterion::kSpammerList) {
        // The listed sender is judged inside the lookup, before its closing log line.
        LookUpSpammer(message.FromAddress, [&] {
            if (FBOOLIsAFriend(message.FromAddress))
                return;
            ActivityLog("Found in List", true);
            PumpEvents();
            CarryOutHit(actions, criterion, account, rule, message);
        });
        return;
    }
    if (!CriterionMatches(criterion, account, rule, message))
        return;
    if (FBOOLIsAFriend(message.FromAddress))
        return;
    CarryOutHit(actions, criterion, account, rule, message);
}

}  // namespace sievo
