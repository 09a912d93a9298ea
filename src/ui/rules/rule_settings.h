#pragma once

#include <string>

#include "config/section_count.h"

namespace sievo {

inline constexpr SectionCount kRuleCount{"PROCEDURECOUNT", "NumProcs", "PROCEDURE"};

std::string RuleSection(int rule);

// What the rule dialogs show and write of one rule: everything but Active and NumHits.
struct RuleSettings {
    std::string criteria = "FROM";
    std::string value;
    bool deleteAction = true;
    bool beep = false;
    bool reply = false;
    bool report = false;
    bool confirm = false;
    bool sendtoRecycle = true;
    std::string replyName;
    std::string reportName;
};

// Section "PROCEDURE" + rule as the dialogs read it: missing switches are off.
RuleSettings ReadRuleSettings(int rule);

// Writes the keys of the dialogs into the rule's section, in their fixed order, with the
// message names turned into file names. Raises when rules.ini cannot be written.
void WriteRuleSettings(int rule, const RuleSettings& settings);

// Writes a new rule after the last one and raises the count, in one write; answers its
// number.
int AppendRule(const RuleSettings& settings);

}  // namespace sievo
