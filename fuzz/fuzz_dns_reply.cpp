// A datagram from a DNS server, read as the answer to the question "a.bl.test" with id
// 0x1234 (which the first bytes of the input may or may not match).

#include <cstdlib>

#include "fuzz_input.h"
#include "net/dns_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto reply =
        sievo::DecodeAddressReply(sievo::fuzzing::AsText(data, size), 0x1234, "a.bl.test");
    // Each A record takes 16 bytes at least (a compressed name, its fields, 4 of data).
    if (reply && reply->addresses.size() * 16 > size)
        std::abort();
    return 0;
}
