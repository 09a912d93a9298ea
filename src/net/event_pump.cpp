#include "net/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace sievo {

namespace {

// Bounds how long one turn sleeps when nothing at all happens, so flags that change
// without an event of their own are still seen.
constexpr int kWakeUpIntervalMs = 100;

EventPump& InstalledPump() {
    static EventPump pump;
    return pump;
}

}  // namespace

void SetEventPump(EventPump pump) {
    InstalledPump() = std::move(pump);
}

void PumpOnce() {
    if (InstalledPump()) {
        InstalledPump()();
    } else {
        WaitForEvents();
    }
}

void WaitForEvents() {
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.start(kWakeUpIntervalMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace sievo
