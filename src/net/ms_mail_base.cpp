#include "net/ms_mail_base.h"

#include "net/net_errors.h"

namespace sievo {

void TmsMailBase::ConnectAndLogin() {
    if (Connected())
        return;
    Open();
    Login();
}

void TmsMailBase::LogoutAndClose() {
    if (!Connected())
        return;
    try {
        Logout();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TmsMailBase::RaiseServerError(const std::string& replyLine) {
    if (OnError)
        OnError(*this, replyLine);
    throw EServerError(replyLine);
}

}  // namespace sievo
