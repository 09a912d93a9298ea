#include "engine/address_lists.h"

#include <filesystem>
#include <vector>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "config/host.h"
#include "config/text.h"

namespace sievo {

namespace {

// The lines of a list file, each an entry as it stands (blanks and empty lines included).
// A missing file is an empty list: a scan must not stop half-way with the connection open
// because a list was never created.
std::vector<std::string> LoadList(const std::string& path) {
    if (!std::filesystem::exists(path)) {
        ActivityLog(path + " not found, taken as an empty list", true);
        return {};
    }
    const auto text = ReadWholeFile(path);
    if (!text)
        throw Exception("Cannot open file \"" + path + "\"");
    return SplitLines(*text);
}

bool ListHolds(const std::vector<std::string>& entries, std::string_view text) {
    const std::string lowered = ToLowerText(text);
    for (const auto& entry : entries)
        if (SameText(entry, lowered))
            return true;
    return false;
}

bool ListHoldsAddressOrDomain(const std::vector<std::string>& entries, std::string_view address) {
    return ListHolds(entries, address) || ListHolds(entries, DomainOf(address));
}

void WriteEndFind() {
    ActivityLog("End Find", true);
    TheHost().PumpEvents();
}

}  // namespace

std::string FriendsPath() {
    return ProgramFile("friends.lst");
}

std::string SpammersPath() {
    return ProgramFile("sievo.lst");
}

std::string_view DomainOf(std::string_view address) {
    const auto at = address.find('@');
    return at == std::string_view::npos ? address : address.substr(at + 1);
}

bool FBOOLIsAFriend(const std::string& address) {
    const auto friends = LoadList(FriendsPath());
    ActivityLog("BEGIN friends list check", true);
    const std::string_view domain = DomainOf(address);
    ActivityLog("The address is " + address, true);
    ActivityLog("The domain is " + std::string(domain), true);
    const bool found = ListHoldsAddressOrDomain(friends, address);
    ActivityLog(
        found ? "END friends list check address WAS FOUND" : "END friends list check not found",
        true);
    return found;
}

bool LookUpSpammer(const std::string& address, const std::function<void()>& onFound) {
    ActivityLog("Reading SPAM List into memory", true);
    TheHost().PumpEvents();
    const auto spammers = LoadList(SpammersPath());
    ActivityLog("Begin Find", true);
    TheHost().PumpEvents();
    bool found = false;
    try {
        found = ListHoldsAddressOrDomain(spammers, address);
        if (found)
            onFound();
    } catch (...) {
        WriteEndFind();  // the closing line is written however the lookup ends
        throw;
    }
    WriteEndFind();
    return found;
}

}  // namespace sievo
