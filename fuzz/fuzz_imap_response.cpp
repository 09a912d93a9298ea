// An IMAP response as the client reads it: lines, and the literals their "{n}" announce.
// The input is cut at NUL bytes: the first piece is the text, the others are literals.

#include <cstdlib>

#include "fuzz_input.h"
#include "mail/imap_response.h"
#include "mail/mail_errors.h"

namespace {

// Every value the parser hands out is walked, as the session does.
void Walk(const sievo::ImapValue& value) {
    value.Number();
    value.Find("UID");
    for (const sievo::ImapValue& item : value.items)
        Walk(item);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = sievo::fuzzing::AsText(data, size);
    sievo::ImapResponseText response;
    std::size_t start = 0;
    for (std::size_t end = input.find('\0');; end = input.find('\0', start)) {
        const std::string_view piece = input.substr(start, end - start);
        if (start == 0)
            response.text = std::string(piece);
        else
            response.literals.emplace_back(std::string(piece));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    sievo::TrailingLiteralSize(response.text);
    sievo::ImapQuoted(response.text);
    try {
        const sievo::ImapResponse parsed = sievo::ParseImapResponse(response);
        for (const sievo::ImapValue& value : parsed.values)
            Walk(value);
        parsed.CodeName();
        parsed.CodeArguments();
    } catch (const sievo::EImapSyntax&) {
        // an unreadable response is an expected answer
    }
    return 0;
}
