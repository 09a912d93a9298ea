#include "engine/rule.h"

#include "config/data_folder.h"
#include "config/file_cache.h"
#include "config/ini_file.h"
#include "config/section_count.h"

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
    return ReadSectionCount(TIniFile(RulesPath()), {"PROCEDURECOUNT", "NumProcs", "PROCEDURE"});
}

namespace {

// The rules of the last reading of rules.ini, each parsed once, since judging asks for
// every rule again for every message. A new state of the file starts afresh.
class ParsedRules {
public:
    TSievoRule Get(int index) {
        // Within one step of judging the file was looked at already.
        const unsigned long step = CurrentFileCheckStep();
        if (step == 0 || step != step_) {
            IniSnapshot now = TIniFile(RulesPath()).Snapshot();
            if (!now.SameReading(reading_)) {
                reading_ = now;
                rules_.clear();
            }
            step_ = step;
        }
        const auto found = rules_.find(index);
        if (found != rules_.end())
            return found->second;
        return rules_.emplace(index, TSievoRule(reading_, index)).first->second;
    }

private:
    IniSnapshot reading_ = TIniFile("").Snapshot();
    unsigned long step_ = 0;
    std::map<int, TSievoRule> rules_;
};

}  // namespace

TSievoRule::TSievoRule(int index) {
    static ParsedRules parsed;
    *this = parsed.Get(index);
}

TSievoRule::TSievoRule(const IniSnapshot& ini, int index) : Index(index) {
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

void HitTally::Flush() {
    if (pending_.empty())
        return;
    TIniFile(RulesPath()).Edit([this](IniEdit& ini) {
        for (const auto& [index, hits] : pending_) {
            const std::string section = RuleSection(index);
            ini.WriteInteger(section, "NumHits", ini.ReadInteger(section, "NumHits", 0) + hits);
        }
    });
    pending_.clear();
}

}  // namespace sievo
