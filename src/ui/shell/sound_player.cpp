#include "ui/shell/sound_player.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QProcess>
#include <QSoundEffect>
#include <QUrl>

namespace sievo {

SystemSoundPlayer::SystemSoundPlayer() : effect_(std::make_unique<QSoundEffect>()) {}

SystemSoundPlayer::~SystemSoundPlayer() = default;

bool SystemSoundPlayer::Play(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile())
        return false;
    if (!QMediaDevices::audioOutputs().isEmpty()) {
        effect_->setSource(QUrl::fromLocalFile(file));
        effect_->play();
        return true;
    }
    // Without an output Qt knows of, the sound servers' own players may still reach one.
    return QProcess::startDetached("paplay", {file}) ||
           QProcess::startDetached("aplay", {"-q", file});
}

void SystemSoundPlayer::Beep() {
    QApplication::beep();
}

}  // namespace sievo
