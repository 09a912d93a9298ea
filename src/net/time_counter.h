#pragma once

#include <QTimer>

namespace sievo {

// Counts down `TimeOut` seconds with a one-second timer and remembers that it ran out.
class TTimeCounter {
public:
    static constexpr int kDefaultTimeOut = 60;

    TTimeCounter();

    int TimeOut() const { return timeOut_; }
    void SetTimeOut(int seconds) { timeOut_ = seconds; }

    // Starts counting from `TimeOut` again; a time-out already seen stays.
    void Start();
    void Stop();

    bool TimedOut() const { return timedOut_; }
    void ClearTimedOut() { timedOut_ = false; }

private:
    void Tick();

    QTimer timer_;
    int timeOut_ = kDefaultTimeOut;
    int remaining_ = 0;
    bool timedOut_ = false;
};

}  // namespace sievo
