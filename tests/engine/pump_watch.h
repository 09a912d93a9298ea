#pragma once

#include <functional>

#include "net/event_pump.h"

namespace sievo::testing {

// Counts the turns long loops give the interface, and runs onTurn at each instead of letting
// events run; installed for its lifetime.
class PumpWatch {
public:
    PumpWatch() {
        ReplacePumpEvents([this] {
            ++turns;
            if (onTurn)
                onTurn();
        });
    }
    ~PumpWatch() { ReplacePumpEvents({}); }
    PumpWatch(const PumpWatch&) = delete;
    PumpWatch& operator=(const PumpWatch&) = delete;

    int turns = 0;
    std::function<void()> onTurn;
};

}  // namespace sievo::testing
