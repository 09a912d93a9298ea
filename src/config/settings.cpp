#include "config/settings.h"

#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/file_cache.h"
#include "config/ini_file.h"

namespace sievo::settings {

namespace {

TIniFile Ini() {
    return TIniFile(SettingsPath());
}

}  // namespace

std::string SettingsPath() {
    return ProgramFile("settings.ini");
}

bool OpenedBefore() {
    return Ini().ReadBool("Main", "OpenedBefore", false);
}
void SetOpenedBefore(bool value) {
    Ini().WriteBool("Main", "OpenedBefore", value);
}
bool AutoEnabled() {
    return Ini().ReadBool("Main", "AutoEnabled", false);
}
void SetAutoEnabled(bool value) {
    Ini().WriteBool("Main", "AutoEnabled", value);
}

bool AutoUpdateEnabled() {
    return Ini().ReadBool("AUTOUPDATE", "ENABLED", false);
}
int AutoUpdateInterval() {
    return Ini().ReadInteger("AUTOUPDATE", "AutoUpdateInterval", 3);
}
std::string LastAutoUpdateDate() {
    return Ini().ReadString("AUTOUPDATE", "LastAutoUpdateDate", "19900101");
}
void SetLastAutoUpdateDate(const QDate& day) {
    Ini().WriteString("AUTOUPDATE", "LastAutoUpdateDate", FormatCompactDate(day));
}
bool UseProxy() {
    return Ini().ReadBool("AUTOUPDATE", "UseProxy", false);
}
std::string ProxyAddress() {
    return Ini().ReadString("AUTOUPDATE", "ProxyAddress", "");
}
std::string ProxyPort() {
    return Ini().ReadString("AUTOUPDATE", "ProxyPort", "");
}
std::string UpdateURL() {
    return Ini().ReadString("AUTOUPDATE", "UpdateURL", "");
}

std::string SpamListLastUpdate() {
    return Ini().ReadString("UPDATES", "SpamListLastUpdate", "");
}
void SetSpamListLastUpdate(const QDate& day) {
    Ini().WriteString("UPDATES", "SpamListLastUpdate", FormatCompactDate(day));
}

bool VerboseLog() {
    // Asked for every log line; within one step of judging the answer stands.
    static unsigned long step = 0;
    static bool verbose = false;
    const unsigned long now = CurrentFileCheckStep();
    if (now == 0 || now != step) {
        verbose = Ini().ReadBool("LogFile", "Verbose", false);
        step = now;
    }
    return verbose;
}
bool SoundsDisabled() {
    return Ini().ReadBool("Sounds", "Disbable", false);
}
std::string BrowserCommandLine() {
    return Ini().ReadString("Browser", "CommandLine", "");
}

}  // namespace sievo::settings
