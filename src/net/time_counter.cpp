#include "net/time_counter.h"

namespace sievo {

namespace {
constexpr int kTickMs = 1000;
}

TTimeCounter::TTimeCounter() {
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void TTimeCounter::Start() {
    remaining_ = timeOut_;
    timer_.start();
}

void TTimeCounter::Stop() {
    timer_.stop();
}

void TTimeCounter::Tick() {
    --remaining_;
    if (remaining_ < 1)
        timedOut_ = true;
}

}  // namespace sievo
