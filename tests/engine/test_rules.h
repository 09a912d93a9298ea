#pragma once

#include <string>

#include "config/ini_file.h"
#include "engine/rule.h"

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

// Appends a rule to rules.ini as the rule dialogs write it; answers its number.
inline int AddRule(const RuleSetup& setup) {
    const TIniFile ini(RulesPath());
    const int n = RuleCount() + 1;
    const std::string section = "PROCEDURE" + std::to_string(n);
    ini.WriteString(section, "Criteria", setup.criteria);
    ini.WriteString(section, "Value", setup.value);
    ini.WriteBool(section, "DeleteAction", setup.deletes);
    ini.WriteBool(section, "Confirm", setup.confirm);
    for (const char* key : {"Beep", "Reply", "Report", "SendtoRecycle"})
        ini.WriteBool(section, key, setup.sideEffects);
    ini.WriteString(section, "ReplyFile", setup.replyFile);
    ini.WriteString(section, "ReportFile", setup.reportFile);
    ini.WriteInteger("PROCEDURECOUNT", "NumProcs", n);
    return n;
}

inline int RuleHits(int rule) {
    return TIniFile(RulesPath()).ReadInteger("PROCEDURE" + std::to_string(rule), "NumHits", 0);
}

}  // namespace sievo::testing
