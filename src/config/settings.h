#pragma once

#include <QDate>
#include <string>

// settings.ini, read anew at every use so that a change takes effect at the next one.
namespace sievo::settings {

std::string SettingsPath();

bool OpenedBefore();  // [Main] OpenedBefore, default false
void SetOpenedBefore(bool value);
bool AutoEnabled();  // [Main] AutoEnabled, default false
void SetAutoEnabled(bool value);

bool AutoUpdateEnabled();          // [AUTOUPDATE] ENABLED, default false
int AutoUpdateInterval();          // [AUTOUPDATE] AutoUpdateInterval, days, default 3
std::string LastAutoUpdateDate();  // [AUTOUPDATE] LastAutoUpdateDate, default "19900101"
void SetLastAutoUpdateDate(const QDate& day);
bool UseProxy();             // [AUTOUPDATE] UseProxy, default false
std::string ProxyAddress();  // [AUTOUPDATE] ProxyAddress, default empty
std::string ProxyPort();     // [AUTOUPDATE] ProxyPort, the text typed, default empty

// [AUTOUPDATE] UpdateURL: where the update descriptor is fetched; empty for the maker's.
std::string UpdateURL();

std::string SpamListLastUpdate();  // [UPDATES] SpamListLastUpdate, default empty
void SetSpamListLastUpdate(const QDate& day);

bool VerboseLog();                 // [LogFile] Verbose, default false
bool SoundsDisabled();             // [Sounds] Disbable (sic), default false
std::string BrowserCommandLine();  // [Browser] CommandLine, default empty

}  // namespace sievo::settings
