#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace sievo {

// Turns SIGINT and SIGTERM into a call on the event loop, since a signal handler may do
// no more than write to a pipe. While it lives, SIGXFSZ is ignored as well, so a write
// over the file-size limit fails with an error like any other instead of killing the
// program before it could say so.
class StopSignals {
public:
    // onStop runs from the event loop, also from the waits of a running check, after the
    // signal is logged.
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // 128 + the number of the signal that stopped the program, as a shell reports it;
    // 0 while none did.
    int ExitStatus() const;

private:
    void Deliver();

    std::function<void()> onStop_;
    int stoppedBy_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace sievo
