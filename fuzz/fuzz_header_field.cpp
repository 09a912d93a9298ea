// GetHeaderField over a header block, then the address and parameter parsers on the values.

#include <cstdlib>

#include "config/errors.h"
#include "fuzz_input.h"
#include "mail/header_fields.h"
#include "mail/mail_address.h"
#include "mail/mail_limits.h"
#include "mail/mime_params.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines = sievo::fuzzing::AsLines(data, size);
    const std::string from = sievo::GetHeaderField(lines, "From");
    if (from.size() > sievo::mail_limits::kShortText)
        std::abort();
    try {
        const auto [address, name] = sievo::SplitAddress(from);
        if (address.size() > sievo::mail_limits::kShortText)
            std::abort();
    } catch (const sievo::Exception&) {
        // a malformed address is an expected answer
    }
    const std::string type = sievo::GetHeaderField(lines, "Content-Type");
    sievo::GetHeaderParam("boundary", type);
    sievo::FirstToken(type);
    sievo::GetWordAsInt(from, 1);
    sievo::DeleteHeaderField(lines, "Subject");
    sievo::TruncateAtBody(lines);
    return 0;
}
