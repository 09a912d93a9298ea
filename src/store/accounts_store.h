#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/account.h"

class QDateTime;

namespace sievo {

// The keys of one account section of accounts.ini, as the file holds them, except that the
// passwords are plain text here (the store scrambles them). A missing key reads as the
// default given here; a key whose absence means something of its own is optional.
struct StoredAccount {
    bool active = true;
    std::string method = "LAN";          // "LAN", "MANUAL" or "RAS" in any case
    std::optional<std::string> service;  // the dial-up entry; written only for MANUAL and RAS
    std::string emailAddr;
    std::string smtpAddress;
    std::string popAddress;
    std::string popUser;
    // From ClearPassword, by hand, when Password is empty; empty while the passwords are in
    // the keyring and not yet fetched.
    std::string password;
    std::optional<int> minutes;               // missing: a check waits 10, the dialogs offer 15
    std::optional<std::string> nextDateTime;  // date-time text; missing: due now
    std::optional<std::string> lastDateTime;  // written by the check only
    bool mailNotify = true;
    std::string mailNotifyWav;
    std::string commandLine;
    bool runAfterManual = false;
    bool runAfterAuto = false;
    // "NONE", "SSL" or "STARTTLS" in any case; missing: "NONE", which an IMAP account does
    // not take as leave to send its password without TLS (see PopSecurityNamed).
    std::optional<std::string> popSecurity;
    std::optional<std::string> smtpSecurity;  // missing: "NONE", see SmtpSecurityNamed
    std::string smtpUser;
    std::string smtpPassword;
    // PasswordStore=KEYRING: both passwords are kept in the keyring, and a loaded value holds
    // them only once FetchKeyringPasswords has read them.
    bool passwordsInKeyring = false;
    // Commands that print a password, run for every check in place of a kept password.
    std::string passwordCommand{};
    std::string smtpPasswordCommand{};
    // "POP3" or "IMAP" in any case; missing: POP3. The IMAP keys that follow are written
    // for IMAP accounts alone.
    std::optional<std::string> protocol{};
    std::string imapFolder = "INBOX";
    std::string spamFolder{};  // empty: the folder the server marks as junk, else "Junk"
    bool expungeSpam = false;
    // Set by hand: the authserv-id of the account's own server (see TSievoUser).
    std::optional<std::string> authServId{};
    std::optional<std::string> sieveServer{};  // missing: the incoming host, port 4190

    // Whether the account names its SMTP security itself: only a named "NONE" lets the SMTP
    // password travel without TLS.
    bool SmtpSecurityNamed() const { return smtpSecurity && !smtpSecurity->empty(); }
    bool PopSecurityNamed() const { return popSecurity && !popSecurity->empty(); }
    bool IsImap() const;
    // How the account is named in errors: its address, else user@server.
    std::string Name() const;

    bool operator==(const StoredAccount&) const = default;
};

// accounts.ini: [ENTRYCOUNT] NumEntries counts the accounts [USER1] to [USERn]. Every
// change is one write: a refused one raises "Unable to write to <file>" and leaves the
// file as it was.
namespace accounts {

// The number of accounts the checks see: the stated count, but no more than the highest
// section present.
int Count();

// Account `number` (1-based); every key missing from the file takes its default.
StoredAccount Load(int number);
// Accounts 1 to Count(), from one reading of the file.
std::vector<StoredAccount> LoadAll();

// Writes every key of the account (optional ones only when they hold a value) but
// LastDateTime. The passwords go to the keyring when one is available (each read back
// before the file says PasswordStore=KEYRING), else scrambled into the file; a hand-written
// ClearPassword gives way to either. A password that comes from a command is kept nowhere.
void Save(int number, const StoredAccount& account);
// Adds the account after the last one the checks see, erasing whatever a section of that
// number held; answers its number.
int Append(const StoredAccount& account);
// Erases account `number` and moves every later one down a number with all of its keys,
// those of other versions and those written by hand included.
void Remove(int number);

// Where the incoming password of the account comes from.
enum class PasswordPlace { kFile, kKeyring, kCommand };
PasswordPlace IncomingPasswordPlace(const StoredAccount& account);

// The account with the passwords the keyring keeps for it. Raises an Exception naming the
// account when the keyring cannot be reached or holds no incoming password for it.
StoredAccount FetchKeyringPasswords(StoredAccount account);

// Whether accounts.ini is there but no settings file: every other call would raise.
bool FileDamaged();
// Whether any account keeps a password in the file itself.
bool AnyPasswordInFile();
// With a keyring available: writes every password the file holds into it, reads each
// back, and only then removes them all from the file in one write. Raises, leaving the
// file as it was, when the keyring refuses or loses one. Answers how many accounts moved.
int MovePasswordsToKeyring();

// After a check: when the account is due next and when it was checked.
void SaveCheckTimes(int number, const QDateTime& next, const QDateTime& last);
// The cleaning progress window's switch for starting the mail program.
void SaveRunAfterManual(int number, bool on);

// The account as a check uses it: upper-case choices, the interval and next check time as
// the check reads them, the bin folder made ready, the passwords fetched from the keyring
// or their commands (an Exception naming the account when that fails).
TSievoUser ForCheck(const StoredAccount& account, int number);
TSievoUser ForCheck(int number);

}  // namespace accounts

}  // namespace sievo
