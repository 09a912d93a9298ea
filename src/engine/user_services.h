#pragma once

#include <string>

namespace sievo {

class TSievoUser;

// Plays a sound file without waiting, unless sounds are switched off in the settings;
// true when playing started.
bool FLBOOLCorPlaySound(const std::string& fileName);

// Starts the account's mail program; logs and answers false when none is set.
bool FBOOLLaunchMailClient(const TSievoUser& account);

}  // namespace sievo
