#pragma once

class QTimer;

namespace sievo {

// Keeps the schedule still while a dialog is open: its timer stops now and starts again when
// the pause ends; the timer's own tick stops it again when auto-check is off. A pause made
// by default stops nothing.
class SchedulePause {
public:
    SchedulePause() = default;
    SchedulePause(SchedulePause&& other) noexcept;
    SchedulePause& operator=(SchedulePause&&) = delete;
    ~SchedulePause();

private:
    friend class MailEngine;
    explicit SchedulePause(QTimer& timer);

    QTimer* timer_ = nullptr;
};

}  // namespace sievo
