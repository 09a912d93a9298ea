#pragma once

#include <exception>
#include <set>
#include <string>

namespace sievo {

// The failures of one pass that would repeat at every message: a data file that cannot be
// written fails the same way each time, and one report of it is enough.
class PassFaults {
public:
    // A new pass: nothing reported yet, sending allowed.
    void Reset();
    // Reports the error through AppException unless the same text was reported in this
    // pass.
    void ReportOnce(const std::exception& error);

    // Replies and reports stop for the rest of the pass once the record of what was sent
    // cannot be written: without it, a later check would send them again.
    void StopSending(const std::exception& error);
    bool SendingStopped() const { return sendingStopped_; }

private:
    std::set<std::string> reported_;
    bool sendingStopped_ = false;
};

}  // namespace sievo
