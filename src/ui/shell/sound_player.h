#pragma once

#include <memory>
#include <string>

#include "engine/sound_player.h"

class QSoundEffect;

namespace sievo {

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
