#pragma once

namespace sievo {

// Erases account `number` from accounts.ini and moves every later account down one
// number, key by key; LastDateTime is not carried over.
void RemoveAccount(int number);

}  // namespace sievo
