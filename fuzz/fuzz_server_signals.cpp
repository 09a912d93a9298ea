// What receiving servers write into a header block: every Authentication-Results field
// parsed, and the relay address found in the Received fields and named in a blocklist.

#include <cstdlib>

#include "fuzz_input.h"
#include "mail/authentication_results.h"
#include "mail/relay_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = sievo::fuzzing::AsLines(data, size);
    for (const std::string& field : sievo::GetRawHeaderFields(lines, "Authentication-Results")) {
        const sievo::AuthenticationResults results = sievo::ParseAuthenticationResults(field);
        if (results.authservId.size() > field.size())
            std::abort();
    }
    const std::string relay = sievo::RelayAddress(lines);
    if (!relay.empty() && sievo::BlocklistQueryName(relay, "bl.test").empty())
        std::abort();  // an address found is always one
    return 0;
}
