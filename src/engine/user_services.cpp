#include "engine/user_services.h"

#include <QProcess>
#include <QStringList>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/text.h"
#include "engine/launcher.h"
#include "engine/sound_player.h"
#include "store/settings_store.h"

namespace sievo {

namespace {

// Sound file names were limited to this length, and still are.
constexpr std::size_t kMaxSoundFileName = 255;

}  // namespace

bool FLBOOLCorPlaySound(SoundPlayer& sounds, const std::string& fileName) {
    if (settings::SoundsDisabled())
        return false;
    return sounds.Play(std::string(Utf8Truncate(fileName, kMaxSoundFileName)));
}

bool FBOOLLaunchMailClient(Launcher& launcher, const TSievoUser& account) {
    if (account.CommandLine.empty()) {
        ActivityLog("There is no mail client configured.  Please check the Mail Client settings.",
                    false, &account);
        return false;
    }
    // The command line is split like a shell would, but no shell ever runs it.
    const QStringList words = QProcess::splitCommand(QString::fromStdString(account.CommandLine));
    if (words.isEmpty())
        return false;
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < words.size(); ++i)
        arguments.push_back(words[i].toStdString());
    return launcher.StartProgram(words.front().toStdString(), arguments);
}

}  // namespace sievo
