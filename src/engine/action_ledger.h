#pragma once

#include <map>
#include <set>
#include <string>

#include "mail/header_fields.h"

namespace sievo {

class TSievoUser;

// A message's lasting name: the server's unique id where it gives one, else a digest of
// the header block.
std::string MessageKey(const std::string& uniqueId, const TmsHeaders& headers);

// What was already done, once and for all, to the messages that stay on an account's
// server (replies and reports sent, copies sent to the Trash), so that judging them again
// at every check does not do it again. Kept in handled.lst in the data folder.
class ActionLedger {
public:
    explicit ActionLedger(const TSievoUser& account);

    bool WasDone(const std::string& messageKey, const std::string& action) const;
    // Records the action and writes the file at once, so a crash cannot repeat it.
    // Raises "Unable to write to <path>" when the file cannot be written.
    void MarkDone(const std::string& messageKey, const std::string& action);
    // Takes back a record for an action that surely did not happen, and writes the file.
    void Unmark(const std::string& messageKey, const std::string& action);
    // Files what was done under `from` under `to` as well and forgets `from`; written with
    // the next change.
    void Rename(const std::string& from, const std::string& to);
    // Whether any record of the account is filed under a header block's key.
    bool HoldsHeaderBlockKeys() const;
    // Forgets the messages that are no longer on the server, and writes the file.
    void KeepOnly(const std::set<std::string>& keysOnServer);

private:
    void Save() const;

    std::string account_;
    // account -> message key -> actions; other accounts' entries are kept as they are
    std::map<std::string, std::map<std::string, std::set<std::string>>> entries_;
};

}  // namespace sievo
