#include "app/console_log.h"

#include <ostream>

namespace sievo {

void ConsoleLog::OnActivity(const std::string& text, const std::string& stamp, bool kept) {
    if (kept)
        out_ << stamp << " -- " << text << std::endl;
}

}  // namespace sievo
