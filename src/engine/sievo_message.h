#pragma once

#include <string>

#include "mail/header_fields.h"

namespace sievo {

class BlocklistListings;

// What the rules see of one waiting message: its header lines and the fields read from
// them. Built for one evaluation; the header lines are not copied.
class TSievoMessage {
public:
    // Raises when the From field cannot be parsed (an angle bracket never closed).
    TSievoMessage(const TmsHeaders& headers, int index);

    const TmsHeaders& Headers;
    std::string Subject;
    std::string FromField;    // the whole From field, display name included
    std::string FromAddress;  // the bare address
    std::string FromName;     // the display name
    std::string FromDomain;   // FromAddress after its first "@" (all of it without one)
    int Index;                // 0-based position in the listing

    // The texts the rules search, in capitals (letters a to z only), made once.
    std::string UpperSubject;
    std::string UpperFromField;
    std::string UpperHeaderText;  // every header line followed by CR LF

    // The blocklist answers of the check, when any were looked up.
    const BlocklistListings* Blocklists = nullptr;
};

}  // namespace sievo
