#pragma once

#include <string>

namespace sievo {

class TagRas;
class TSievoUser;

// Makes sure the network is there before an account is checked, dialling where the
// account asks for it, and logs what the dial-up component reports.
class ConnectionGuard {
public:
    explicit ConnectionGuard(TagRas& ras);

    // 0 to go on, -1 to skip the account. A MANUAL account is skipped by automatic passes
    // while no dial-up connection is up, and dialled like a RAS account by a pass the user
    // started ("SINGLEPASS"); the account object then says RAS. A failed dial raises.
    int EnsureConnection(TSievoUser& account, const std::string& mode);

    // Whether a dial-up connection is up.
    bool IsDialUpConnected();

private:
    void SelectService(const std::string& service);

    TagRas& ras_;
};

}  // namespace sievo
