#include "config/host.h"

#include <QCoreApplication>
#include <chrono>
#include <iostream>

namespace sievo {

namespace {

TerminalHost terminalHost;
Host* currentHost = nullptr;

}  // namespace

void TerminalHost::ShowMessage(const std::string& text) {
    std::cerr << text << '\n';
}

bool TerminalHost::AskYesNo(const std::string& text) {
    std::cerr << text << " -- answered No (no one to ask)\n";
    return false;
}

void ThrottledPump::Pump() {
    constexpr auto kPumpInterval = std::chrono::milliseconds(5);
    const auto now = std::chrono::steady_clock::now();
    if (!QCoreApplication::instance() || now - last_ < kPumpInterval)
        return;
    last_ = now;
    QCoreApplication::processEvents();
}

void TerminalHost::PumpEvents() {
    pump_.Pump();
}

std::vector<bool> TerminalHost::ConfirmDeletions(const std::vector<DeletionRow>& rows) {
    return std::vector<bool>(rows.size(), false);
}

Host& TheHost() {
    return currentHost ? *currentHost : terminalHost;
}

void SetHost(Host* host) {
    currentHost = host;
}

}  // namespace sievo
