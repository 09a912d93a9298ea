#include "engine/pass_faults.h"

#include "config/activity_log.h"

namespace sievo {

void PassFaults::Reset() {
    reported_.clear();
    sendingStopped_ = false;
}

void PassFaults::ReportOnce(const std::exception& error) {
    if (reported_.insert(error.what()).second)
        AppException(error);
}

void PassFaults::StopSending(const std::exception& error) {
    sendingStopped_ = true;
    ReportOnce(error);
}

}  // namespace sievo
