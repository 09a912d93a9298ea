#include "ui/accounts/account_removal.h"

#include "config/account.h"
#include "config/ini_file.h"
#include "config/numbered_sections.h"

namespace sievo {

void RemoveAccount(int number) {
    // Every key travels with a moved account, those written by hand (ClearPassword) and
    // those of later versions included: a key left behind would change how it logs in.
    DeleteNumberedSection(TIniFile(AccountsPath()), kAccountCount, number, 1);
}

}  // namespace sievo
