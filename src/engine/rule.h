#pragma once

#include <map>

#include "store/rule_store.h"

namespace sievo {

// One rule being judged: rule number Index of rules.ini, built for one evaluation. Its
// NumHits stays as it was when the rule was loaded.
class TSievoRule : public RuleRecord {
public:
    // Rule `index` of rules.ini; missing keys (or a missing file or section) take the
    // engine's defaults.
    explicit TSievoRule(int index) : TSievoRule(rule_store::Load(index), index) {}
    TSievoRule(const RuleRecord& record, int index) : RuleRecord(record), Index(index) {}

    int Index = 0;
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
