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
};

// Appends a rule as the rule dialogs write it; answers its number.
inline int AddRule(const RuleSetup& setup) {
    RuleRecord rule;
    rule.Criteria = setup.criteria;
    rule.Value = setup.value;
    rule.DeleteAction = setup.deletes;
    rule.Confirm = setup.confirm;
    rule.Beep = rule.Reply = rule.Report = rule.SendtoRecycle = setup.sideEffects;
    rule.ReplyFile = setup.replyFile;
    rule.ReportFile = setup.reportFile;
    return rule_store::Append(rule);
}

inline int RuleHits(int rule) {
    return rule_store::Load(rule).NumHits;
}

}  // namespace sievo::testing
