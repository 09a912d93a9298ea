#pragma once

#include "mail/remote_info.h"

namespace sievo {

class DnsResolver;
class ScanJudge;
class TSievoUser;

// Judges every listed message by every active rule, in rule-number order, with the rules
// read afresh for each message. A message that cannot be judged (a From field that does
// not parse, a rules.ini that cannot be written) is reported and left alone, and the
// others are still judged. A message whose header block was too large to keep is never
// judged. Ends early once `stop` is set. The blocklists that DNSBL rules name are asked
// through `resolver` before the first message is judged.
void JudgeMailbox(const TmsRemoteInfo& items, const TSievoUser& account, ScanJudge& judge,
                  const bool& stop, DnsResolver& resolver);

}  // namespace sievo
