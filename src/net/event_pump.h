#pragma once

#include <functional>

namespace sievo {

// One turn of a network wait: lets pending events run and sleeps until the next event
// arrives, so a wait on a silent server costs no CPU while timers and buttons keep working.
using EventPump = std::function<void()>;

// Installs the pump every wait of this layer uses; an empty pump restores the default.
void SetEventPump(EventPump pump);

// Runs one turn of the installed pump.
void PumpOnce();

// The default pump: the Qt event loop, woken at the latest after a short interval.
void WaitForEvents();

}  // namespace sievo
