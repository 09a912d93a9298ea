#pragma once

namespace sievo {

// At start, once the log is open: restricts the data folder and accounts.ini to their
// owner, then moves the passwords accounts.ini holds into the keyring, or says once that
// they stay there, scrambled. A failure is reported and start-up goes on.
void KeepDataPrivate();

}  // namespace sievo
