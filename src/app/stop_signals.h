#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace sievo {

// Ignores SIGXFSZ for the rest of the run, so a write over the file-size limit (a quota,
// `ulimit -f`) fails with an error like any other instead of killing the program before
// it could say so. Called before the first file is written.
void IgnoreFileSizeSignal();

// Turns SIGINT and SIGTERM into a call on the event loop, since a signal handler may do
// no more than write to a pipe.
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
