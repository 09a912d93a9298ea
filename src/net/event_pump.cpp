#include "net/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace sievo {

namespace {

// Bounds how long one turn sleeps when nothing at all happens, so flags that change
// without an event of their own are still seen.
constexpr int kWakeUpIntervalMs = 100;

constexpr auto kPumpInterval = std::chrono::milliseconds(5);

std::function<void()>& Replacement() {
    static std::function<void()> turn;
    return turn;
}

}  // namespace

void PumpOnce() {
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.start(kWakeUpIntervalMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void PumpEvents() {
    if (Replacement()) {
        Replacement()();
        return;
    }
    static std::chrono::steady_clock::time_point last;
    const auto now = std::chrono::steady_clock::now();
    if (!QCoreApplication::instance() || now - last < kPumpInterval)
        return;
    last = now;
    QCoreApplication::processEvents();
}

void ReplacePumpEvents(std::function<void()> turn) {
    Replacement() = std::move(turn);
}

}  // namespace sievo
