#pragma once

#include <string>

#include "store/rule_store.h"

namespace sievo::testing {

struct RuleSetup {
    const char* criteria;
    const char* value;
    bool deletes = true;
    bool confirm = false;
    bool sideEffects = false;  // sound, reply, report and Trash copy
    const char* replyFile = "";
    const char* reportFile = "";
    bool trash = false;  // the Trash copy alone
};

// A rule as the rule dialogs write it.
inline RuleRecord Rule(const RuleSetup& setup) {
    RuleRecord rule;
    rule.Criteria = setup.criteria;
    rule.Value = setup.value;
    rule.DeleteAction = setup.deletes;
    rule.Confirm = setup.confirm;
    rule.Beep = rule.Reply = rule.Report = setup.sideEffects;
    rule.SendtoRecycle = setup.sideEffects || setup.trash;
    rule.ReplyFile = setup.replyFile;
    rule.ReportFile = setup.reportFile;
    return rule;
}

// Appends that rule; answers its number.
inline int AddRule(const RuleSetup& setup) {
    return rule_store::Append(Rule(setup));
}

inline int RuleHits(int rule) {
    return rule_store::Load(rule).NumHits;
}

}  // namespace sievo::testing
