// LoadFromStream of a whole message, then SaveToStream of what was read.

#include <sstream>

#include "config/errors.h"
#include "fuzz_input.h"
#include "mail/message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sievo::TmsMessage message;
    std::istringstream input(std::string(sievo::fuzzing::AsText(data, size)));
    try {
        message.LoadFromStream(input);
    } catch (const sievo::Exception&) {
        // broken base64, uuencode or escapes and a malformed From are reported, not fatal
    }
    std::ostringstream output;
    try {
        message.SaveToStream(output);
    } catch (const sievo::Exception&) {
        // an overlong paragraph is refused by the encoder
    }
    return 0;
}
