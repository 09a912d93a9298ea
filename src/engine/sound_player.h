#pragma once

#include <string>

namespace sievo {

// Plays the program's sounds.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing a .wav file without waiting; false when nothing could play.
    virtual bool Play(const std::string& path) = 0;
    virtual void Beep() = 0;
};

}  // namespace sievo
