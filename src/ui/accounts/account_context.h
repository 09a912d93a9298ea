#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/schedule_pause.h"

namespace sievo {

// What the account dialogs need of the main window.
struct AccountContext {
    // Keeps the schedule still while a dialog is open; empty: nothing to pause.
    std::function<SchedulePause()> pauseSchedule;
    std::function<void(bool)> setAutoCheck;
    // The dial-up entries in their order, and the dial-up component's current entry.
    std::function<std::vector<std::string>()> dialUpEntries;
    std::function<std::string()> dialUpService;
    // Runs the welcome wizard that appends a new account.
    std::function<void()> addAccount;
    // Whether a check is under way: accounts are not renumbered under a running pass.
    std::function<bool()> checkRunning;
};

}  // namespace sievo
