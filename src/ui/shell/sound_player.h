#pragma once

#include <memory>
#include <string>

class QSoundEffect;

namespace sievo {

// Plays the program's sounds.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing a .wav file without waiting; false when nothing could play.
    virtual bool Play(const std::string& path) = 0;
    virtual void Beep() = 0;
};

// Qt Multimedia where the system lists an audio output, else paplay, else aplay.
class SystemSoundPlayer : public SoundPlayer {
public:
    SystemSoundPlayer();
    ~SystemSoundPlayer() override;

    bool Play(const std::string& path) override;
    void Beep() override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace sievo
