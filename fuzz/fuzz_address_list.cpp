// GetHeaderAddressList over a header block, each entry parsed as an address.

#include "config/errors.h"
#include "fuzz_input.h"
#include "mail/header_fields.h"
#include "mail/mail_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = sievo::fuzzing::AsLines(data, size);
    std::vector<std::string> entries;
    sievo::GetHeaderAddressList(lines, "TO", entries);
    sievo::GetHeaderAddressList(lines, "CC", entries);
    for (const auto& entry : entries)
        sievo::TryParseAddress(entry);
    return 0;
}
