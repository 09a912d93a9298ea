#include "engine/sievo_message.h"

#include "config/text.h"
#include "engine/address_lists.h"
#include "mail/mail_address.h"

namespace sievo {

TSievoMessage::TSievoMessage(const TmsHeaders& headers, int index)
    : Headers(headers),
      Subject(GetHeaderField(headers, "Subject")),
      FromField(GetHeaderField(headers, "From")),
      Index(index) {
    auto [address, name] = SplitAddress(FromField);
    FromAddress = std::move(address);
    FromName = std::move(name);
    FromDomain = std::string(DomainOf(FromAddress));
    UpperSubject = ToUpperAscii(Subject);
    UpperFromField = ToUpperAscii(FromField);
    std::string headerText;
    for (const auto& line : headers)
        headerText.append(line).append("\r\n");
    UpperHeaderText = ToUpperAscii(headerText);
}

}  // namespace sievo
