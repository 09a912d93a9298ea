#pragma once

namespace sievo {

// Erases account `number` from accounts.ini and moves every later account down one
// number with all of its keys, in one write.
void RemoveAccount(int number);

}  // namespace sievo
