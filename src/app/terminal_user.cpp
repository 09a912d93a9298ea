#include "app/terminal_user.h"

#include <iostream>

namespace sievo {

void TerminalUser::ShowMessage(const std::string& text) {
    std::cerr << text << '\n';
}

std::vector<bool> TerminalUser::ConfirmDeletions(const std::vector<DeletionRow>& rows) {
    return std::vector<bool>(rows.size(), false);
}

}  // namespace sievo
