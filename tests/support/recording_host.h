#pragma once

#include <string>
#include <vector>

#include "config/host.h"

namespace sievo::testing {

// A host that remembers what it was asked to show; installed for its lifetime.
class RecordingHost : public Host {
public:
    RecordingHost() { SetHost(this); }
    ~RecordingHost() override { SetHost(nullptr); }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void PumpEvents() override { ++pumps; }

    std::vector<std::string> messages;
    int pumps = 0;
};

}  // namespace sievo::testing
