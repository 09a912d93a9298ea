#include "store/rule_store.h"

#include <algorithm>
#include <utility>

#include "config/data_folder.h"
#include "config/file_cache.h"
#include "config/ini_file.h"
#include "config/numbered_sections.h"
#include "config/section_count.h"

namespace sievo::rule_store {

namespace {

constexpr SectionCount kRuleCount{"PROCEDURECOUNT", "NumProcs", "PROCEDURE"};
constexpr const char* kActive = "Active";
constexpr const char* kNumHits = "NumHits";

// A key the rule dialogs write: a text or a switch of the record.
struct DialogKey {
    const char* name;
    std::string RuleRecord::*text;
    bool RuleRecord::*on;
};

// In the order the dialogs write them.
constexpr DialogKey kDialogKeys[] = {
    {"Criteria", &RuleRecord::Criteria, nullptr},
    {"Value", &RuleRecord::Value, nullptr},
    {"DeleteAction", nullptr, &RuleRecord::DeleteAction},
    {"Beep", nullptr, &RuleRecord::Beep},
    {"Reply", nullptr, &RuleRecord::Reply},
    {"Report", nullptr, &RuleRecord::Report},
    {"Confirm", nullptr, &RuleRecord::Confirm},
    {"SendtoRecycle", nullptr, &RuleRecord::SendtoRecycle},
    {"Replyname", &RuleRecord::Replyname, nullptr},
    {"ReplyFile", &RuleRecord::ReplyFile, nullptr},
    {"Reportname", &RuleRecord::Reportname, nullptr},
    {"ReportFile", &RuleRecord::ReportFile, nullptr},
};

std::string Section(int rule) {
    return kRuleCount.prefix + std::to_string(rule);
}

TIniFile File() {
    return TIniFile(Path());
}

RuleRecord Read(const IniSnapshot& ini, int rule, RuleDefaults defaults) {
    static const RuleRecord engine;
    const std::string section = Section(rule);
    RuleRecord record;
    for (const DialogKey& key : kDialogKeys) {
        if (key.text)
            record.*key.text = ini.ReadString(section, key.name, "");
        else
            record.*key.on = ini.ReadBool(section, key.name,
                                          defaults == RuleDefaults::kEngine && engine.*key.on);
    }
    record.Active = ini.ReadBool(section, kActive, engine.Active);
    record.NumHits = ini.ReadInteger(section, kNumHits, engine.NumHits);
    return record;
}

void Write(IniEdit& ini, int rule, const RuleRecord& record) {
    const std::string section = Section(rule);
    for (const DialogKey& key : kDialogKeys) {
        if (key.text)
            ini.WriteString(section, key.name, record.*key.text);
        else
            ini.WriteBool(section, key.name, record.*key.on);
    }
}

// The rules of the last reading of rules.ini, each parsed once. A new state of the file
// starts afresh.
class ParsedRules {
public:
    RuleRecord Get(int rule, RuleDefaults defaults) {
        // Within one step of judging the file was looked at already.
        const unsigned long step = CurrentFileCheckStep();
        if (step == 0 || step != step_) {
            IniSnapshot now = File().Snapshot();
            if (!now.SameReading(reading_)) {
                reading_ = std::move(now);
                rules_.clear();
            }
            step_ = step;
        }
        const auto key = std::make_pair(rule, defaults);
        const auto found = rules_.find(key);
        if (found != rules_.end())
            return found->second;
        return rules_.emplace(key, Read(reading_, rule, defaults)).first->second;
    }

private:
    IniSnapshot reading_ = TIniFile("").Snapshot();
    unsigned long step_ = 0;
    std::map<std::pair<int, RuleDefaults>, RuleRecord> rules_;
};

}  // namespace

std::string Path() {
    return ProgramFile("rules.ini");
}

int Count() {
    return ReadSectionCount(File(), kRuleCount);
}

RuleRecord Load(int rule, RuleDefaults defaults) {
    static ParsedRules parsed;
    return parsed.Get(rule, defaults);
}

std::vector<RuleRecord> LoadAll(RuleDefaults defaults) {
    const int count = Count();
    const IniSnapshot ini = File().Snapshot();
    std::vector<RuleRecord> rules;
    rules.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int rule = 1; rule <= count; ++rule)
        rules.push_back(Read(ini, rule, defaults));
    return rules;
}

void Save(int rule, const RuleRecord& record) {
    File().Edit([&](IniEdit& ini) { Write(ini, rule, record); });
}

int Append(const RuleRecord& record) {
    return AppendNumberedSection(File(), kRuleCount,
                                 [&](IniEdit& ini, int rule) { Write(ini, rule, record); });
}

void Remove(int rule) {
    DeleteNumberedSection(File(), kRuleCount, rule, 1);
}

void SetActive(int rule, bool active) {
    File().WriteBool(Section(rule), kActive, active);
}

void AddHits(const std::map<int, int>& hits) {
    if (hits.empty())
        return;
    File().Edit([&hits](IniEdit& ini) {
        for (const auto& [rule, added] : hits) {
            const std::string section = Section(rule);
            ini.WriteInteger(section, kNumHits, ini.ReadInteger(section, kNumHits, 0) + added);
        }
    });
}

}  // namespace sievo::rule_store
