#include "config/settings.h"

#include "config/data_folder.h"
#include "config/file_cache.h"
#include "config/ini_file.h"

namespace sievo::settings {

std::string SettingsPath() {
    return ProgramFile("settings.ini");
}

bool VerboseLog() {
    // Asked for every log line; within one step of judging the answer stands.
    static unsigned long step = 0;
    static bool verbose = false;
    const unsigned long now = CurrentFileCheckStep();
    if (now == 0 || now != step) {
        verbose = TIniFile(SettingsPath()).ReadBool(kLogSection, kVerboseKey, false);
        step = now;
    }
    return verbose;
}

}  // namespace sievo::settings
