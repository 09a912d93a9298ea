#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace sievo::testing {

// Lets events be handled until `done` holds or `timeoutMs` have passed; whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);  // what is awaited may be another process's work
    }
    return done();
}

}  // namespace sievo::testing
