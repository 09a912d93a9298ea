#include "engine/rule.h"

#include "config/data_folder.h"
#include "config/ini_file.h"

namespace sievo {

namespace {

std::string RuleSection(int index) {
    return "PROCEDURE" + std::to_string(index);
}

}  // namespace

std::string RulesPath() {
    return ProgramFile("rules.ini");
}

int RuleCount() {
    return TIniFile(RulesPath()).ReadInteger("PROCEDURECOUNT", "NumProcs", 0);
}

TSievoRule::TSievoRule(int index) : Index(index) {
    const TIniFile ini(RulesPath());
    const std::string section = RuleSection(index);
    Criteria = ini.ReadString(section, "CRITERIA", "");
    Value = ini.ReadString(section, "VALUE", "");
    Active = ini.ReadBool(section, "Active", true);
    DeleteAction = ini.ReadBool(section, "DeleteAction", true);
    Beep = ini.ReadBool(section, "Beep", false);
    Reply = ini.ReadBool(section, "Reply", true);
    Report = ini.ReadBool(section, "Report", true);
    Confirm = ini.ReadBool(section, "Confirm", false);
    SendtoRecycle = ini.ReadBool(section, "SendtoRecycle", true);
    Replyname = ini.ReadString(section, "Replyname", "");
    ReplyFile = ini.ReadString(section, "ReplyFile", "");
    Reportname = ini.ReadString(section, "Reportname", "");
    ReportFile = ini.ReadString(section, "ReportFile", "");
    NumHits = ini.ReadInteger(section, "NumHits", 0);
}

void CountRuleHit(int index) {
    const TIniFile ini(RulesPath());
    const std::string section = RuleSection(index);
    ini.WriteInteger(section, "NumHits", ini.ReadInteger(section, "NumHits", 0) + 1);
}

}  // namespace sievo
