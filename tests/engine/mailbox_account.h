#pragma once

#include <string>

#include "dovecot_server.h"
#include "store/accounts_store.h"

namespace sievo::testing {

// Appends an account whose mailbox is at `address`, with the test servers' user and
// password and no new-mail sound; answers its number.
inline int AppendMailboxAccount(const std::string& address,
                                const std::string& email = "sam@home.test") {
    StoredAccount account;
    account.emailAddr = email;
    account.smtpAddress = "smtp.home.test";
    account.popAddress = address;
    account.popUser = DovecotServer::kUserName;
    account.password = DovecotServer::kPassword;
    account.mailNotify = false;
    return accounts::Append(account);
}

}  // namespace sievo::testing
