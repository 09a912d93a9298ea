#pragma once

#include <functional>

namespace sievo {

// One turn of a network wait: lets pending events run and sleeps until the next event
// arrives, so a wait on a silent server costs no CPU while timers and buttons keep working.
void PumpOnce();

// Lets pending events run without waiting, at most every few milliseconds: long loops (list
// lookups, the judging, moving files to the Trash) ask thousands of times a second, and
// timers, sockets and clicks are served soon enough that way.
void PumpEvents();

// Makes PumpEvents run `turn` instead, until an empty one restores it; tests watch the turns
// a long loop gives the interface. One pump serves the whole program, as one event loop
// does, so the free functions of every layer reach it without being handed it.
void ReplacePumpEvents(std::function<void()> turn);

}  // namespace sievo
