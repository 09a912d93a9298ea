#pragma once

#include <string>

namespace sievo {

class Launcher;
class SoundPlayer;
class TSievoUser;

// Plays a sound file without waiting, unless sounds are switched off in the settings;
// true when playing started.
bool FLBOOLCorPlaySound(SoundPlayer& sounds, const std::string& fileName);

// Starts the account's mail program; logs and answers false when none is set.
bool FBOOLLaunchMailClient(Launcher& launcher, const TSievoUser& account);

}  // namespace sievo
