#include "store/accounts_store.h"

#include <QDateTime>
#include <algorithm>

#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "config/ini_file.h"
#include "config/numbered_sections.h"
#include "config/password.h"
#include "config/section_count.h"
#include "config/text.h"
#include "store/password_command.h"
#include "store/password_vault.h"

namespace sievo::accounts {

namespace {

constexpr SectionCount kCount{"ENTRYCOUNT", "NumEntries", "USER"};

constexpr char kPassword[] = "Password";
constexpr char kClearPassword[] = "ClearPassword";
constexpr char kSmtpPassword[] = "SMTPPassword";
constexpr char kPasswordStore[] = "PasswordStore";
constexpr char kInKeyring[] = "KEYRING";
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

// The incoming and the SMTP password: where the file keeps each, its command, and its name in
// the keyring. The keyring names an account by user and server, never by its number, so
// renumbering loses none.
struct PasswordSlot {
    const char* key;
    const char* commandKey;
    std::string StoredAccount::*password;
    std::string StoredAccount::*command;
    std::string (*vaultKey)(const StoredAccount&);
};

std::string IncomingVaultKey(const StoredAccount& account) {
    return account.popUser + "@" + account.popAddress;
}

std::string SmtpVaultKey(const StoredAccount& account) {
    return "smtp:" + account.smtpUser + "@" + account.smtpAddress;
}

constexpr PasswordSlot kIncoming{kPassword, "PasswordCommand", &StoredAccount::password,
                                 &StoredAccount::passwordCommand, IncomingVaultKey};
constexpr PasswordSlot kSmtp{kSmtpPassword, "SMTPPasswordCommand", &StoredAccount::smtpPassword,
                             &StoredAccount::smtpPasswordCommand, SmtpVaultKey};
constexpr PasswordSlot kSlots[] = {kIncoming, kSmtp};

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
    for (const PasswordSlot& slot : kSlots) {
        account.*slot.password = PasswordFromIni(ini.ReadString(section, slot.key, ""));
        account.*slot.command = ini.ReadString(section, slot.commandKey, "");
    }
    if (account.password.empty())
        account.password = ini.ReadString(section, kClearPassword, "");
    account.passwordsInKeyring =
        ToUpperAscii(ini.ReadString(section, kPasswordStore, "")) == kInKeyring;
    int minutes = 0;
    if (ParseProfileInteger(ini.ReadString(section, kMinutes, ""), minutes))
        account.minutes = minutes;
    return account;
}

// A password from a command, or one that stays in the keyring, is not in the file.
void WritePasswords(IniEdit& ini, const std::string& section, const StoredAccount& account,
                    bool inKeyring) {
    for (const PasswordSlot& slot : kSlots) {
        const std::string& command = account.*slot.command;
        if (command.empty())
            ini.EraseKey(section, slot.commandKey);
        else
            ini.WriteString(section, slot.commandKey, command);
        if (inKeyring || !command.empty())
            ini.EraseKey(section, slot.key);
        else
            ini.WriteString(section, slot.key, PasswordToIni(account.*slot.password));
    }
    ini.EraseKey(section, kClearPassword);
    if (inKeyring)
        ini.WriteString(section, kPasswordStore, kInKeyring);
    else
        ini.EraseKey(section, kPasswordStore);
}

void Write(IniEdit& ini, const std::string& section, const StoredAccount& account, bool inKeyring) {
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
    WritePasswords(ini, section, account, inKeyring);
    if (account.minutes)
        ini.WriteInteger(section, kMinutes, *account.minutes);
}

// Writes the password and reads it back: only an entry the keyring gives back counts as kept.
void WriteConfirmed(PasswordVault& vault, const std::string& key, const std::string& password,
                    const StoredAccount& account) {
    vault.Write(key, password);
    if (vault.Read(key) != password)
        throw Exception("The keyring did not keep the password of account " + account.Name());
}

// Puts the account's passwords into the keyring when one is available; false when they go
// into the file instead. A password that comes from a command leaves no entry.
bool KeepInKeyring(const StoredAccount& account) {
    if (account.passwordsInKeyring)
        return true;  // never fetched, so they stay where they are
    PasswordVault* vault = AvailablePasswordVault();
    if (!vault)
        return false;
    for (const PasswordSlot& slot : kSlots) {
        const std::string& password = account.*slot.password;
        if ((account.*slot.command).empty() && !password.empty())
            WriteConfirmed(*vault, slot.vaultKey(account), password, account);
        else
            vault->Remove(slot.vaultKey(account));
    }
    return true;
}

// A removed account's entries go unless another account still names the same log-in.
void ForgetKeyringEntries(const StoredAccount& removed) {
    PasswordVault* vault = AvailablePasswordVault();
    if (!vault)
        return;
    const std::vector<StoredAccount> remaining = LoadAll();
    for (const PasswordSlot& slot : kSlots) {
        const std::string key = slot.vaultKey(removed);
        const bool shared = std::any_of(remaining.begin(), remaining.end(), [&](const auto& other) {
            return other.passwordsInKeyring && slot.vaultKey(other) == key;
        });
        if (!shared)
            vault->Remove(key);
    }
}

bool HoldsFilePassword(const IniSnapshot& ini, int number) {
    for (const char* key : {kPassword, kClearPassword, kSmtpPassword}) {
        if (!ini.ReadString(Section(number), key, "").empty())
            return true;
    }
    return false;
}

StoredAccount WithCommandPasswords(StoredAccount account) {
    for (const PasswordSlot& slot : kSlots) {
        if (!(account.*slot.command).empty())
            account.*slot.password = RunPasswordCommand(account.*slot.command, account.Name());
    }
    return account;
}

}  // namespace

}  // namespace sievo::accounts

namespace sievo {

bool StoredAccount::IsImap() const {
    return ToUpperAscii(protocol.value_or("")) == "IMAP";
}

std::string StoredAccount::Name() const {
    return emailAddr.empty() ? popUser + "@" + popAddress : emailAddr;
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
    const StoredAccount before = Load(number);
    const bool inKeyring = KeepInKeyring(account);
    File().Edit([&](IniEdit& ini) { Write(ini, Section(number), account, inKeyring); });
    // Passwords kept anew under a changed log-in would leave the old entries behind, unused.
    if (before.passwordsInKeyring && !account.passwordsInKeyring)
        ForgetKeyringEntries(before);
}

int Append(const StoredAccount& account) {
    const bool inKeyring = KeepInKeyring(account);
    return AppendNumberedSection(File(), kCount, [&](IniEdit& ini, int number) {
        Write(ini, Section(number), account, inKeyring);
    });
}

void Remove(int number) {
    const StoredAccount removed = Load(number);
    DeleteNumberedSection(File(), kCount, number, 1);
    if (removed.passwordsInKeyring)
        ForgetKeyringEntries(removed);
}

PasswordPlace IncomingPasswordPlace(const StoredAccount& account) {
    if (!account.passwordCommand.empty())
        return PasswordPlace::kCommand;
    return account.passwordsInKeyring ? PasswordPlace::kKeyring : PasswordPlace::kFile;
}

StoredAccount FetchKeyringPasswords(StoredAccount account) {
    if (!account.passwordsInKeyring)
        return account;
    PasswordVault* vault = AvailablePasswordVault();
    if (!vault)
        throw Exception("The password of account " + account.Name() +
                        " is kept in the keyring, which cannot be reached");
    for (const PasswordSlot& slot : kSlots) {
        if ((account.*slot.command).empty())
            account.*slot.password = vault->Read(slot.vaultKey(account)).value_or("");
    }
    if (account.password.empty() && account.passwordCommand.empty())
        throw Exception("The keyring holds no password for account " + account.Name());
    account.passwordsInKeyring = false;
    return account;
}

bool FileDamaged() {
    return File().Damaged();
}

bool AnyPasswordInFile() {
    const IniSnapshot ini = File().Snapshot();
    for (int number = 1, count = Count(); number <= count; ++number) {
        if (HoldsFilePassword(ini, number))
            return true;
    }
    return false;
}

int MovePasswordsToKeyring() {
    PasswordVault* vault = AvailablePasswordVault();
    if (!vault)
        return 0;
    const IniSnapshot ini = File().Snapshot();
    std::vector<std::pair<int, StoredAccount>> moving;
    for (int number = 1, count = Count(); number <= count; ++number) {
        if (HoldsFilePassword(ini, number))
            moving.emplace_back(number, Read(ini, number));
    }
    // Only what the file holds moves: an entry already in the keyring stays. Every entry is
    // written before any is read back, and the file changes only after all came back.
    for (const bool confirming : {false, true}) {
        for (const auto& [number, account] : moving) {
            for (const PasswordSlot& slot : kSlots) {
                const std::string& password = account.*slot.password;
                if (password.empty())
                    continue;
                if (!confirming)
                    vault->Write(slot.vaultKey(account), password);
                else if (vault->Read(slot.vaultKey(account)) != password)
                    throw Exception("The keyring did not keep the password of account " +
                                    account.Name() + "; the passwords stay in " + AccountsPath());
            }
        }
    }
    if (!moving.empty()) {
        File().Edit([&](IniEdit& edit) {
            for (const auto& [number, account] : moving) {
                for (const char* key : {kPassword, kClearPassword, kSmtpPassword})
                    edit.EraseKey(Section(number), key);
                edit.WriteString(Section(number), kPasswordStore, kInKeyring);
            }
        });
    }
    return static_cast<int>(moving.size());
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

TSievoUser ForCheck(const StoredAccount& stored, int number) {
    const StoredAccount account = WithCommandPasswords(FetchKeyringPasswords(stored));
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
