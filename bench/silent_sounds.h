#pragma once

#include <string>

#include "engine/sound_player.h"

namespace sievo::bench {

// Plays nothing: a benchmark measures the work, not the sound card.
class SilentSounds : public SoundPlayer {
public:
    bool Play(const std::string&) override { return true; }
    void Beep() override {}
};

}  // namespace sievo::bench
