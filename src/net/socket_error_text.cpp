#include "net/socket_error_text.h"

#include <cerrno>
#include <map>

#include "net/net_errors.h"

namespace sievo {

std::string SocketErrorText(QAbstractSocket::SocketError error, const std::string& qtText) {
    // Qt folds the system's error numbers into these kinds; each maps back to the number
    // the system reported for it.
    static const std::map<QAbstractSocket::SocketError, int> systemErrors = {
        {QAbstractSocket::ConnectionRefusedError, ECONNREFUSED},
        {QAbstractSocket::RemoteHostClosedError, ECONNRESET},
        {QAbstractSocket::SocketAccessError, EACCES},
        {QAbstractSocket::SocketResourceError, EMFILE},
        {QAbstractSocket::SocketTimeoutError, ETIMEDOUT},
        {QAbstractSocket::DatagramTooLargeError, EMSGSIZE},
        {QAbstractSocket::NetworkError, ENETUNREACH},
        {QAbstractSocket::AddressInUseError, EADDRINUSE},
        {QAbstractSocket::SocketAddressNotAvailableError, EADDRNOTAVAIL},
        {QAbstractSocket::UnsupportedSocketOperationError, EOPNOTSUPP},
    };
    const auto found = systemErrors.find(error);
    if (found != systemErrors.end())
        return SystemErrorText(found->second);
    return "Error #" + std::to_string(static_cast<int>(error)) + ": " + qtText;
}

}  // namespace sievo
