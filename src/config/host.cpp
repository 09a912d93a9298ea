#include "config/host.h"

#include <QCoreApplication>
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

void TerminalHost::PumpEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
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
