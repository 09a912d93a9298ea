// DecodeHeaderWords on any text: bounded, valid where the input was, never a line break.

#include <cstdlib>

#include "fuzz_input.h"
#include "mail/encoded_words.h"
#include "mail/mail_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = sievo::fuzzing::AsText(data, size);
    const std::string decoded = sievo::DecodeHeaderWords(text);
    if (decoded.size() > sievo::mail_limits::kShortText)
        std::abort();
    const bool hadBreak = text.find_first_of("\r\n") != std::string_view::npos;
    if (!hadBreak && decoded.find_first_of("\r\n") != std::string::npos)
        std::abort();
    return 0;
}
