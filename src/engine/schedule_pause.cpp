#include "engine/schedule_pause.h"

#include <QTimer>
#include <utility>

namespace sievo {

SchedulePause::SchedulePause(QTimer& timer) : timer_(&timer) {
    timer_->stop();
}

SchedulePause::SchedulePause(SchedulePause&& other) noexcept
    : timer_(std::exchange(other.timer_, nullptr)) {}

SchedulePause::~SchedulePause() {
    if (timer_)
        timer_->start();
}

}  // namespace sievo
