#pragma once

#include <string>

namespace sievo {

// How the layers below the user interface reach the user. The windowed program, the
// headless single pass and the tests each supply their own.
class Host {
public:
    virtual ~Host() = default;

    // A plain message box (or its stand-in) with the text.
    virtual void ShowMessage(const std::string& text) = 0;

    // Lets pending events run, so timers and buttons keep working during long work.
    virtual void PumpEvents() = 0;
};

// The host in force; a terminal host until the program installs its own.
Host& TheHost();

// Installs a host (not owned); nullptr restores the terminal host.
void SetHost(Host* host);

}  // namespace sievo
