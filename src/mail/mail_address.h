#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/item_list.h"

namespace sievo {

// One mail address with its display name; both are cut to 255 bytes.
class TmsMailAddress {
public:
    TmsMailAddress() = default;
    TmsMailAddress(std::string_view address, std::string_view name);

    const std::string& Name() const { return name_; }
    const std::string& Address() const { return address_; }
    void SetName(std::string_view name);
    void SetAddress(std::string_view address);

    bool operator==(const TmsMailAddress&) const = default;

private:
    std::string name_;
    std::string address_;
};

// An ordered list of addresses (To, CC, BCC).
class TmsAddressList : public ItemList<TmsMailAddress> {
public:
    using ItemList::Add;
    TmsMailAddress& Add(std::string_view address, std::string_view name) {
        return Add(TmsMailAddress(address, name));
    }
};

// Fills address from one address text: "Name <addr>", "addr (Name)" or a bare address.
// Raises "Unable to parse email address" for an angle bracket that is never closed;
// address then keeps what it held.
void ParseAddress(std::string_view text, TmsMailAddress& address);

// The parsed address, or nothing for an angle bracket that is never closed.
std::optional<TmsMailAddress> TryParseAddress(std::string_view text);

// The address and the display name of one address text; raises as ParseAddress does.
std::pair<std::string, std::string> SplitAddress(std::string_view text);

// Trims blanks, then drops every leading and every trailing double quote.
std::string StripQuotes(std::string_view text);

}  // namespace sievo
