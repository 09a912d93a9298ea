#include "config/account.h"

#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/ini_file.h"
#include "config/password.h"
#include "config/section_count.h"
#include "config/text.h"

namespace sievo {

std::string AccountsPath() {
    return ProgramFile("accounts.ini");
}

std::string AccountSection(int index) {
    return "USER" + std::to_string(index);
}

int AccountCount() {
    return ReadSectionCount(TIniFile(AccountsPath()), kAccountCount);
}

std::string AccountPassword(const IniSnapshot& ini, const std::string& section) {
    const std::string scrambled = PasswordFromIni(ini.ReadString(section, "Password", ""));
    return scrambled.empty() ? ini.ReadString(section, "ClearPassword", "") : scrambled;
}

TSievoUser::TSievoUser(int index) : Index(index) {
    const IniSnapshot ini = TIniFile(AccountsPath()).Snapshot();
    const std::string section = AccountSection(index);
    auto text = [&](const char* key, const char* defaultValue = "") {
        return ini.ReadString(section, key, defaultValue);
    };

    Active = ini.ReadBool(section, "Active", true);
    Method = ToUpperAscii(text("Method", "LAN"));
    Service = ToUpperAscii(text("Service", "LAN"));
    SMTPAddress = text("SMTPAddress");
    POPAddress = text("POPAddress");
    POPUser = text("POPUser");
    EMailAddr = text("EMailAddr");
    Password = AccountPassword(ini, section);
    Minutes = ini.ReadInteger(section, "Minutes", 10);
    MailNotify = ini.ReadBool(section, "MailNotify", true);
    MailNotifyWAV = text("MailNotifyWAV");
    CommandLine = text("CommandLine");
    RunAfterManual = ini.ReadBool(section, "RunAfterManual", false);
    RunAfterAuto = ini.ReadBool(section, "RunAfterAuto", false);
    TempPath = EnsureTempFolder();

    const QDateTime now = QDateTime::currentDateTime();
    NextDateTime =
        ParseDateTimeText(text("NextDateTime", FormatDateTimeText(now).c_str())).value_or(now);

    POPSecurity = ToUpperAscii(text("POPSecurity", "NONE"));
    SMTPSecurity = ToUpperAscii(text("SMTPSecurity", "NONE"));
    SMTPSecurityExplicit = !text("SMTPSecurity").empty();
    SMTPUser = text("SMTPUser");
    SMTPPassword = PasswordFromIni(text("SMTPPassword"));
}

}  // namespace sievo
