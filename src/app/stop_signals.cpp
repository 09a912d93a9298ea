#include "app/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include "config/errors.h"

namespace sievo {

namespace {

int signalPipe[2] = {-1, -1};

void ForwardSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void(int)> onStop) : onStop_(std::move(onStop)) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        throw Exception("Cannot watch for signals");
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Deliver(); });
    std::signal(SIGINT, ForwardSignal);
    std::signal(SIGTERM, ForwardSignal);
    std::signal(SIGXFSZ, SIG_IGN);
}

StopSignals::~StopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    notifier_.reset();
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void StopSignals::Deliver() {
    char byte = 0;
    if (read(signalPipe[0], &byte, 1) == 1 && onStop_)
        onStop_(static_cast<unsigned char>(byte));
}

}  // namespace sievo
