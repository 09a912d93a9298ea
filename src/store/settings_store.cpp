#include "store/settings_store.h"

#include "config/date_time.h"
#include "config/ini_file.h"

namespace sievo::settings {

namespace {

struct Key {
    const char* section;
    const char* name;
};

constexpr char kMain[] = "Main";
constexpr char kAutoUpdate[] = "AUTOUPDATE";

constexpr Key kOpenedBefore{kMain, "OpenedBefore"};
constexpr Key kAutoEnabled{kMain, "AutoEnabled"};
constexpr Key kAutoUpdateEnabled{kAutoUpdate, "ENABLED"};
constexpr Key kAutoUpdateInterval{kAutoUpdate, "AutoUpdateInterval"};
constexpr Key kLastAutoUpdateDate{kAutoUpdate, "LastAutoUpdateDate"};
// Written for earlier versions; nothing reads it.
constexpr Key kFrequency{kAutoUpdate, "FREQUENCY"};
constexpr Key kUseProxy{kAutoUpdate, "UseProxy"};
constexpr Key kProxyAddress{kAutoUpdate, "ProxyAddress"};
constexpr Key kProxyPort{kAutoUpdate, "ProxyPort"};
constexpr Key kUpdateUrl{kAutoUpdate, "UpdateURL"};
constexpr Key kSpamListLastUpdate{"UPDATES", "SpamListLastUpdate"};
constexpr Key kVerbose{kLogSection, kVerboseKey};
constexpr Key kSoundsDisabled{"Sounds", "Disbable"};
constexpr Key kBrowser{"Browser", "CommandLine"};

TIniFile Ini() {
    return TIniFile(SettingsPath());
}

bool Flag(const Key& key, bool defaultValue = false) {
    return Ini().ReadBool(key.section, key.name, defaultValue);
}

std::string Text(const Key& key, const char* defaultValue = "") {
    return Ini().ReadString(key.section, key.name, defaultValue);
}

void WriteFlag(const Key& key, bool value) {
    Ini().WriteBool(key.section, key.name, value);
}

void WriteText(const Key& key, const std::string& value) {
    Ini().WriteString(key.section, key.name, value);
}

}  // namespace

bool OpenedBefore() {
    return Flag(kOpenedBefore);
}
void SetOpenedBefore(bool value) {
    WriteFlag(kOpenedBefore, value);
}
bool AutoEnabled() {
    return Flag(kAutoEnabled);
}
void SetAutoEnabled(bool value) {
    WriteFlag(kAutoEnabled, value);
}

bool AutoUpdateEnabled() {
    return Flag(kAutoUpdateEnabled);
}
int AutoUpdateInterval() {
    return Ini().ReadInteger(kAutoUpdateInterval.section, kAutoUpdateInterval.name, 3);
}
std::string LastAutoUpdateDate() {
    return Text(kLastAutoUpdateDate, "19900101");
}
void SetLastAutoUpdateDate(const QDate& day) {
    WriteText(kLastAutoUpdateDate, FormatCompactDate(day));
}
bool UseProxy() {
    return Flag(kUseProxy);
}
std::string ProxyAddress() {
    return Text(kProxyAddress);
}
std::string ProxyPort() {
    return Text(kProxyPort);
}
std::string UpdateURL() {
    return Text(kUpdateUrl);
}

std::string SpamListLastUpdate() {
    return Text(kSpamListLastUpdate);
}
void SetSpamListLastUpdate(const QDate& day) {
    WriteText(kSpamListLastUpdate, FormatCompactDate(day));
}

bool SoundsDisabled() {
    return Flag(kSoundsDisabled);
}
std::string BrowserCommandLine() {
    return Text(kBrowser);
}

ProgramOptions LoadOptions() {
    const IniSnapshot ini = Ini().Snapshot();
    const auto flag = [&](const Key& key) { return ini.ReadBool(key.section, key.name, false); };
    const auto text = [&](const Key& key) { return ini.ReadString(key.section, key.name, ""); };
    ProgramOptions options;
    options.verboseLog = flag(kVerbose);
    options.soundsDisabled = flag(kSoundsDisabled);
    options.browserCommandLine = text(kBrowser);
    options.autoUpdate = flag(kAutoUpdateEnabled);
    options.useProxy = flag(kUseProxy);
    options.proxyAddress = text(kProxyAddress);
    options.proxyPort = std::to_string(ini.ReadInteger(kProxyPort.section, kProxyPort.name, 0));
    return options;
}

void SaveOptions(const ProgramOptions& options) {
    Ini().Edit([&](IniEdit& ini) {
        const auto flag = [&](const Key& key, bool value) {
            ini.WriteBool(key.section, key.name, value);
        };
        const auto text = [&](const Key& key, const std::string& value) {
            ini.WriteString(key.section, key.name, value);
        };
        flag(kVerbose, options.verboseLog);
        flag(kSoundsDisabled, options.soundsDisabled);
        text(kBrowser, options.browserCommandLine);
        flag(kAutoUpdateEnabled, options.autoUpdate);
        ini.WriteInteger(kFrequency.section, kFrequency.name, 3);
        flag(kUseProxy, options.useProxy);
        if (options.useProxy) {
            text(kProxyAddress, options.proxyAddress);
            text(kProxyPort, options.proxyPort);
        }
    });
}

}  // namespace sievo::settings
