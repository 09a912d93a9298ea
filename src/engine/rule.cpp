#include "engine/rule.h"

namespace sievo {

void HitTally::Flush() {
    rule_store::AddHits(pending_);
    pending_.clear();
}

}  // namespace sievo
