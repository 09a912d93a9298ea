#pragma once

#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace sievo {

// What the account dialogs need of the main window.
struct AccountContext {
    QTimer* scheduleTimer = nullptr;  // stopped while a dialog is open
    std::function<void(bool)> setAutoCheck;
    // The dial-up entries in their order, and the dial-up component's current entry.
    std::function<std::vector<std::string>()> dialUpEntries;
    std::function<std::string()> dialUpService;
    // Runs the welcome wizard that appends a new account.
    std::function<void()> addAccount;
    // Whether a check is under way: accounts are not renumbered under a running pass.
    std::function<bool()> checkRunning;
};

// Stops the schedule timer for its lifetime and starts it again at the end; the timer's
// own tick stops it again when auto-check is off.
class SchedulePause {
public:
    explicit SchedulePause(QTimer* timer) : timer_(timer) {
        if (timer_)
            timer_->stop();
    }
    ~SchedulePause() {
        if (timer_)
            timer_->start();
    }
    SchedulePause(const SchedulePause&) = delete;
    SchedulePause& operator=(const SchedulePause&) = delete;

private:
    QTimer* timer_;
};

}  // namespace sievo
