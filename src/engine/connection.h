#pragma once

#include <string>

#include "engine/pass_mode.h"

namespace sievo {

class TagRas;
class TSievoUser;
class UserQuestions;

// Makes sure the network is there before an account is checked, dialling where the
// account asks for it, and logs what the dial-up component reports.
class ConnectionGuard {
public:
    // A dial-up entry the component refuses is told the user through `questions`.
    ConnectionGuard(TagRas& ras, UserQuestions& questions);

    // 0 to go on, -1 to skip the account. A MANUAL account is skipped by scheduled passes
    // while no dial-up connection is up, and dialled like a RAS account by a pass the user
    // started; the account object then says RAS. A failed dial raises.
    int EnsureConnection(TSievoUser& account, PassMode mode);

    // Whether a dial-up connection is up.
    bool IsDialUpConnected();

private:
    void SelectService(const std::string& service);

    TagRas& ras_;
};

}  // namespace sievo
