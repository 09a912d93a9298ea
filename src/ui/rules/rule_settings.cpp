#include "ui/rules/rule_settings.h"

#include "config/ini_file.h"
#include "config/numbered_sections.h"
#include "engine/rule.h"
#include "ui/messages/message_library.h"

namespace sievo {

namespace {

void WriteKeys(IniEdit& ini, int rule, const RuleSettings& settings) {
    const std::string section = RuleSection(rule);
    ini.WriteString(section, "Criteria", settings.criteria);
    ini.WriteString(section, "Value", settings.value);
    ini.WriteBool(section, "DeleteAction", settings.deleteAction);
    ini.WriteBool(section, "Beep", settings.beep);
    ini.WriteBool(section, "Reply", settings.reply);
    ini.WriteBool(section, "Report", settings.report);
    ini.WriteBool(section, "Confirm", settings.confirm);
    ini.WriteBool(section, "SendtoRecycle", settings.sendtoRecycle);
    ini.WriteString(section, "Replyname", settings.replyName);
    ini.WriteString(section, "ReplyFile", GetMessageFilenameFromName(settings.replyName));
    ini.WriteString(section, "Reportname", settings.reportName);
    ini.WriteString(section, "ReportFile", GetMessageFilenameFromName(settings.reportName));
}

}  // namespace

std::string RuleSection(int rule) {
    return kRuleCount.prefix + std::to_string(rule);
}

RuleSettings ReadRuleSettings(int rule) {
    const IniSnapshot ini = TIniFile(RulesPath()).Snapshot();
    const std::string section = RuleSection(rule);
    RuleSettings settings;
    settings.criteria = ini.ReadString(section, "Criteria", "");
    settings.value = ini.ReadString(section, "Value", "");
    settings.deleteAction = ini.ReadBool(section, "DeleteAction", false);
    settings.beep = ini.ReadBool(section, "Beep", false);
    settings.reply = ini.ReadBool(section, "Reply", false);
    settings.report = ini.ReadBool(section, "Report", false);
    settings.confirm = ini.ReadBool(section, "Confirm", false);
    settings.sendtoRecycle = ini.ReadBool(section, "SendtoRecycle", false);
    settings.replyName = ini.ReadString(section, "Replyname", "");
    settings.reportName = ini.ReadString(section, "Reportname", "");
    return settings;
}

void WriteRuleSettings(int rule, const RuleSettings& settings) {
    TIniFile(RulesPath()).Edit([&](IniEdit& ini) { WriteKeys(ini, rule, settings); });
}

int AppendRule(const RuleSettings& settings) {
    return AppendNumberedSection(TIniFile(RulesPath()), kRuleCount,
                                 [&](IniEdit& ini, int rule) { WriteKeys(ini, rule, settings); });
}

}  // namespace sievo
