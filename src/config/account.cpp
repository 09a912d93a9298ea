#include "config/account.h"

#include "config/data_folder.h"

namespace sievo {

std::string AccountsPath() {
    return ProgramFile("accounts.ini");
}

}  // namespace sievo
