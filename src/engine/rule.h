#pragma once

#include <map>
#include <string>

namespace sievo {

class IniSnapshot;

// rules.ini in the data folder.
std::string RulesPath();

// [PROCEDURECOUNT] NumProcs: the number of rules, read afresh at every call; at most the
// last [PROCEDUREn] present.
int RuleCount();

// One rule as read from section "PROCEDURE" + index of rules.ini, built for one evaluation.
class TSievoRule {
public:
    // Missing keys (or a missing file or section) take the engine's defaults.
    explicit TSievoRule(int index);
    // The rule as the given reading of rules.ini holds it.
    TSievoRule(const IniSnapshot& ini, int index);

    bool Active = true;
    std::string Criteria;
    std::string Value;
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
    int Index = 0;
    int NumHits = 0;  // as it was when the rule was loaded
};

// Hits counted in memory and written to rules.ini together, so that judging a large
// mailbox does not rewrite the file for every hit; the counts in the file end the same.
class HitTally {
public:
    void Count(int index) { ++pending_[index]; }
    // Adds the pending hits to the counts in the file in one write.
    void Flush();

private:
    std::map<int, int> pending_;
};

}  // namespace sievo
