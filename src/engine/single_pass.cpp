#include "engine/single_pass.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "engine/mail_engine.h"
#include "store/accounts_store.h"

namespace sievo {

void CheckEveryAccountOnce(MailEngine& engine) {
    engine.RunSinglePass();
    // After a failed pass (a damaged accounts.ini, say) the error has said what is wrong.
    if (engine.LastPassErrors() != 0 || accounts::Count() != 0)
        return;
    ActivityLog(
        "No mail account is set up, so none was checked. Add one with the welcome "
        "wizard of the tray program (Tools > Accounts... > Add) or write it into " +
        AccountsPath() + ".");
}

}  // namespace sievo
