#include "store/accounts_store.h"

#include <QDateTime>

#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/ini_file.h"
#include "config/numbered_sections.h"
#include "config/password.h"
#include "config/section_count.h"
#include "config/text.h"

namespace sievo::accounts {

namespace {

constexpr SectionCount kCount{"ENTRYCOUNT", "NumEntries", "USER"};

constexpr char kPassword[] = "Password";
constexpr char kClearPassword[] = "ClearPassword";
constexpr char kSmtpPassword[] = "SMTPPassword";
constexpr char kMinutes[] = "Minutes";
constexpr char kNextDateTime[] = "NextDateTime";
constexpr char kLastDateTime[] = "LastDateTime";
constexpr char kRunAfterManual[] = "RunAfterManual";

template <typename Value>
struct Key {
    const char* name;
    Value StoredAccount::*field;
};

constexpr Key<bool> kFlags[] = {
    {"Active", &StoredAccount::active},
    {"MailNotify", &StoredAccount::mailNotify},
    {kRunAfterManual, &StoredAccount::runAfterManual},
    {"RunAfterAuto", &StoredAccount::runAfterAuto},
};

constexpr Key<std::string> kTexts[] = {
    {"Method", &StoredAccount::method},
    // The servers and the log-in.
    {"EMailAddr", &StoredAccount::emailAddr},
    {"SMTPAddress", &StoredAccount::smtpAddress},
    {"POPAddress", &StoredAccount::popAddress},
    {"POPUser", &StoredAccount::popUser},
    {"SMTPUser", &StoredAccount::smtpUser},
    // What happens after a check.
    {"MailNotifyWAV", &StoredAccount::mailNotifyWav},
    {"CommandLine", &StoredAccount::commandLine},
};

// LastDateTime is read here but written by SaveCheckTimes alone.
constexpr Key<std::optional<std::string>> kOptionalTexts[] = {
    {"Service", &StoredAccount::service},           {kNextDateTime, &StoredAccount::nextDateTime},
    {"SMTPSecurity", &StoredAccount::smtpSecurity}, {"POPSecurity", &StoredAccount::popSecurity},
    {"Protocol", &StoredAccount::protocol},         {"AuthServId", &StoredAccount::authServId},
    {"SieveServer", &StoredAccount::sieveServer},
};

constexpr char kExpungeSpam[] = "ExpungeSpam";
constexpr Key<std::string> kImapTexts[] = {
    {"IMAPFolder", &StoredAccount::imapFolder},
    {"SpamFolder", &StoredAccount::spamFolder},
};

TIniFile File() {
    return TIniFile(AccountsPath());
}

std::string Section(int number) {
    return kCount.prefix + std::to_string(number);
}

StoredAccount Read(const IniSnapshot& ini, int number) {
    const std::string section = Section(number);
    StoredAccount account;
    for (const auto& [name, field] : kFlags)
        account.*field = ini.ReadBool(section, name, account.*field);
    for (const auto& [name, field] : kTexts)
        account.*field = ini.ReadString(section, name, account.*field);
    for (const auto& [name, field] : kOptionalTexts)
        account.*field = ini.Find(section, name);
    for (const auto& [name, field] : kImapTexts)
        account.*field = ini.ReadString(section, name, account.*field);
    account.expungeSpam = ini.ReadBool(section, kExpungeSpam, false);
    account.lastDateTime = ini.Find(section, kLastDateTime);
    account.password = PasswordFromIni(ini.ReadString(section, kPassword, ""));
    if (account.password.empty())
        account.password = ini.ReadString(section, kClearPassword, "");
    account.smtpPassword = PasswordFromIni(ini.ReadString(section, kSmtpPassword, ""));
    int minutes = 0;
    if (ParseProfileInteger(ini.ReadString(section, kMinutes, ""), minutes))
        account.minutes = minutes;
    return account;
}

void Write(IniEdit& ini, const std::string& section, const StoredAccount& account) {
    for (const auto& [name, field] : kFlags)
        ini.WriteBool(section, name, account.*field);
    for (const auto& [name, field] : kTexts)
        ini.WriteString(section, name, account.*field);
    for (const auto& [name, field] : kOptionalTexts) {
        if (account.*field)
            ini.WriteString(section, name, *(account.*field));
    }
    if (account.IsImap()) {
        for (const auto& [name, field] : kImapTexts)
            ini.WriteString(section, name, account.*field);
        ini.WriteBool(section, kExpungeSpam, account.expungeSpam);
    }
    ini.WriteString(section, kPassword, PasswordToIni(account.password));
    ini.EraseKey(section, kClearPassword);
    ini.WriteString(section, kSmtpPassword, PasswordToIni(account.smtpPassword));
    if (account.minutes)
        ini.WriteInteger(section, kMinutes, *account.minutes);
}

}  // namespace

}  // namespace sievo::accounts

namespace sievo {

bool StoredAccount::IsImap() const {
    return ToUpperAscii(protocol.value_or("")) == "IMAP";
}

}  // namespace sievo

namespace sievo::accounts {

int Count() {
    return ReadSectionCount(File(), kCount);
}

StoredAccount Load(int number) {
    return Read(File().Snapshot(), number);
}

std::vector<StoredAccount> LoadAll() {
    const int count = Count();
    const IniSnapshot ini = File().Snapshot();
    std::vector<StoredAccount> all;
    for (int number = 1; number <= count; ++number)
        all.push_back(Read(ini, number));
    return all;
}

void Save(int number, const StoredAccount& account) {
    File().Edit([&](IniEdit& ini) { Write(ini, Section(number), account); });
}

int Append(const StoredAccount& account) {
    return AppendNumberedSection(
        File(), kCount, [&](IniEdit& ini, int number) { Write(ini, Section(number), account); });
}

void Remove(int number) {
    DeleteNumberedSection(File(), kCount, number, 1);
}

void SaveCheckTimes(int number, const QDateTime& next, const QDateTime& last) {
    File().Edit([&](IniEdit& ini) {
        ini.WriteString(Section(number), kNextDateTime, FormatDateTimeText(next));
        ini.WriteString(Section(number), kLastDateTime, FormatDateTimeText(last));
    });
}

void SaveRunAfterManual(int number, bool on) {
    File().Edit([&](IniEdit& ini) { ini.WriteBool(Section(number), kRunAfterManual, on); });
}

TSievoUser ForCheck(const StoredAccount& account, int number) {
    TSievoUser user;
    user.Active = account.active;
    user.POPUser = account.popUser;
    user.Password = account.password;
    user.EMailAddr = account.emailAddr;
    user.Method = ToUpperAscii(account.method);
    user.Service = ToUpperAscii(account.service.value_or("LAN"));
    user.SMTPAddress = account.smtpAddress;
    user.POPAddress = account.popAddress;
    user.Minutes = account.minutes.value_or(10);
    user.TempPath = EnsureTempFolder();
    const QDateTime now = QDateTime::currentDateTime();
    user.NextDateTime = ParseDateTimeText(account.nextDateTime.value_or("")).value_or(now);
    user.MailNotify = account.mailNotify;
    user.CommandLine = account.commandLine;
    user.MailNotifyWAV = account.mailNotifyWav;
    user.RunAfterManual = account.runAfterManual;
    user.RunAfterAuto = account.runAfterAuto;
    user.Index = number;
    user.POPSecurity = ToUpperAscii(account.popSecurity.value_or("NONE"));
    user.POPSecurityExplicit = account.PopSecurityNamed();
    user.Protocol = account.IsImap() ? "IMAP" : "POP3";
    user.IMAPFolder = account.imapFolder.empty() ? "INBOX" : account.imapFolder;
    user.SpamFolder = account.spamFolder;
    user.ExpungeSpam = account.expungeSpam;
    user.SMTPSecurity = ToUpperAscii(account.smtpSecurity.value_or("NONE"));
    user.SMTPSecurityExplicit = account.SmtpSecurityNamed();
    user.SMTPUser = account.smtpUser;
    user.SMTPPassword = account.smtpPassword;
    user.AuthServId = account.authServId.value_or("");
    user.SieveServer = account.sieveServer.value_or("");
    return user;
}

TSievoUser ForCheck(int number) {
    return ForCheck(Load(number), number);
}

}  // namespace sievo::accounts
