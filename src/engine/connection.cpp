#include "engine/connection.h"

#include "config/account.h"
#include "config/activity_log.h"
#include "config/text.h"
#include "engine/user_questions.h"
#include "net/ag_ras.h"

namespace sievo {

ConnectionGuard::ConnectionGuard(TagRas& ras, UserQuestions& questions) : ras_(ras) {
    ras_.OnStatusChange = [](TagRas&, const std::string& text) {
        ActivityLog("DUN Status -- " + text, true);
    };
    ras_.OnDisconnected = [](TagRas&) { ActivityLog("DUN Status -- Disconnected", true); };
    ras_.OnServiceRefused = [&questions](TagRas&, const std::string& reason) {
        questions.ShowMessage(reason);
    };
}

bool ConnectionGuard::IsDialUpConnected() {
    return ras_.DialUpActive();
}

// The account stores the entry's name in capitals, while connection names are
// case-sensitive here: take the entry whose name matches without regard to case.
void ConnectionGuard::SelectService(const std::string& service) {
    std::string entry = service;
    for (const auto& name : ras_.Entries())
        if (SameText(name, service))
            entry = name;
    if (ras_.Service() == entry)
        return;
    ras_.SetService("");
    ras_.SetService(entry);
}

int ConnectionGuard::EnsureConnection(TSievoUser& account, PassMode mode) {
    int result = 0;
    const bool connected = IsDialUpConnected();
    if (account.Method == "MANUAL" && !connected) {
        if (mode == PassMode::kUserStarted)
            account.Method = "RAS";
        else
            result = -1;
    }
    if (account.Method == "RAS" && !connected) {
        SelectService(account.Service);
        ras_.Connect();
    }
    return result;
}

}  // namespace sievo
