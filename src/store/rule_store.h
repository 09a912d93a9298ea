#pragma once

#include <map>
#include <string>
#include <vector>

namespace sievo {

// One rule of rules.ini, section "PROCEDURE" + its number. The initial values are the
// engine's defaults for missing keys.
struct RuleRecord {
    std::string Criteria;
    std::string Value;
    bool Active = true;
    bool DeleteAction = true;
    bool Beep = false;
    bool Reply = true;
    bool Report = true;
    bool Confirm = false;
    bool SendtoRecycle = true;
    std::string Replyname;
    std::string ReplyFile;
    std::string Reportname;
    std::string ReportFile;
    int NumHits = 0;

    bool operator==(const RuleRecord&) const = default;
};

// The defaults of missing keys: the engine's, or the windows' (every switch off; Active
// on, as both have it).
enum class RuleDefaults { kEngine, kShown };

// rules.ini: [PROCEDURECOUNT] NumProcs counts the rules [PROCEDURE1] to [PROCEDUREn]. The
// file is read afresh at every call; every change is one atomic write that raises "Unable
// to write to <file>" when it is refused.
namespace rule_store {

std::string Path();

// NumProcs, but at most the last [PROCEDUREn] present.
int Count();

// Rule `rule`; a missing file or section gives the defaults. Repeated loads of one state
// of the file parse each rule once, since judging asks for every rule for every message.
RuleRecord Load(int rule, RuleDefaults defaults = RuleDefaults::kEngine);
// Rules 1 to Count() from one reading of the file.
std::vector<RuleRecord> LoadAll(RuleDefaults defaults);

// Writes what the rule dialogs set (every key but Active and NumHits) into rule `rule`,
// so a changed rule keeps its state and its count.
void Save(int rule, const RuleRecord& record);
// Adds a rule as Save writes it after the last rule shown, in a fresh section, and raises
// the count; answers its number. The new rule reads as active with no hits.
int Append(const RuleRecord& record);
// Deletes rule `rule`: every later rule moves down one number with all of its keys.
void Remove(int rule);

void SetActive(int rule, bool active);
// Adds hits (rule number to hits) to the counts in the file.
void AddHits(const std::map<int, int>& hits);

}  // namespace rule_store

}  // namespace sievo
