#pragma once

#include <iosfwd>

#include "config/activity_log.h"

namespace sievo {

// Writes every line that goes into the activity log to a stream as it is logged, and
// every error, so a terminal or cron shows what a check did.
class ConsoleLog : public ActivityLogListener {
public:
    explicit ConsoleLog(std::ostream& out) : out_(out) {}

    void OnActivity(const std::string& text, const std::string& stamp, bool kept) override;
    void OnError(std::uint16_t, const std::string&) override {}
    void OnCleared() override {}

private:
    std::ostream& out_;
};

}  // namespace sievo
