#include "app/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "config/activity_log.h"
#include "config/errors.h"

namespace sievo {

namespace {

int signalPipe[2] = {-1, -1};

void ForwardSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

}  // namespace

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        throw Exception("Cannot watch for signals");
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Deliver(); });
    std::signal(SIGINT, ForwardSignal);
    std::signal(SIGTERM, ForwardSignal);
}

StopSignals::~StopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    notifier_.reset();
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void StopSignals::Deliver() {
    char byte = 0;
    if (read(signalPipe[0], &byte, 1) != 1 || stoppedBy_ != 0)
        return;
    stoppedBy_ = static_cast<unsigned char>(byte);
    ActivityLog("Stopped by signal " + std::to_string(stoppedBy_) +
                ": the running check was cancelled; nothing of it was committed.");
    onStop_();
}

int StopSignals::ExitStatus() const {
    constexpr int kSignalStatusBase = 128;
    return stoppedBy_ == 0 ? 0 : kSignalStatusBase + stoppedBy_;
}

}  // namespace sievo
