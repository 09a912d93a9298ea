#pragma once

namespace sievo {

// Who started a pass: the user (Clean Mail Now, the command line's single pass, the
// preview's connection) or the schedule's timer. A pass the user started checks every
// account at once, dials a manual dial-up account and leaves the next check times alone.
enum class PassMode { kUserStarted, kScheduled };

}  // namespace sievo
