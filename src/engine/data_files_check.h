#pragma once

namespace sievo {

// Whether settings.ini, accounts.ini and rules.ini can be read. A damaged one is reported
// as an error that names it, once for as long as it stays the same: the schedule asks
// every ten seconds.
bool DataFilesUsable();

}  // namespace sievo
