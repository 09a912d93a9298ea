#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace sievo {

std::string FriendsPath();   // friends.lst in the data folder
std::string SpammersPath();  // sievo.lst in the data folder

// The text after the first "@" of an address; an address without "@" is its own domain.
std::string_view DomainOf(std::string_view address);

// Whether friends.lst names the address or its domain (whole lines, without regard to
// case). Writes its detail lines to the log.
bool FBOOLIsAFriend(const std::string& address);

// Looks the sender's address, then its domain, up in sievo.lst; when either is listed,
// onFound runs before the lookup's closing log line. Answers whether it was listed.
bool LookUpSpammer(const std::string& address, const std::function<void()>& onFound);

}  // namespace sievo
