#include "config/host.h"

#include <QCoreApplication>
#include <iostream>

namespace sievo {

namespace {

class TerminalHost final : public Host {
public:
    void ShowMessage(const std::string& text) override { std::cerr << text << '\n'; }
    void PumpEvents() override {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
};

TerminalHost terminalHost;
Host* currentHost = nullptr;

}  // namespace

Host& TheHost() {
    return currentHost ? *currentHost : terminalHost;
}

void SetHost(Host* host) {
    currentHost = host;
}

}  // namespace sievo
