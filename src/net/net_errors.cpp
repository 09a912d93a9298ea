#include "net/net_errors.h"

#include <cstring>
#include <map>

namespace sievo {

ERASError::ERASError(int code, const std::string& message)
    : Exception(message.empty() ? "RAS error no " + std::to_string(code) : message), code_(code) {}

std::string SocketMessageText(int code) {
    static const std::map<int, std::string> texts = {
        {kMsgTimedOut, "Operation timed out"},
        {kMsgCanceled, "Operation has been canceled"},
        {kMsgServerRequired, "Server property is required"},
        {kMsgInvalidVersion, "Invalid Winsock version"},
        {kMsgResolveError, "Error resolving remote host"},
        {kMsgServiceRequired, "Service name is required"},
        {kMsgProxyPortRequired, "Proxy port is required"},
        {kMsgInvalidUrl, "Invalid URL"},
        {kMsgNotConnected, "You have to connect to the server first"},
        {kMsgFunctionNotFound, "Function %s not found"},
        {kMsgNotLoaded, "Winsock is not loaded"},
        {kMsgNotFound, "Winsock not found"},
    };
    const auto found = texts.find(code);
    return found != texts.end() ? found->second : "Error #" + std::to_string(code);
}

std::string SystemErrorText(int errorNumber) {
    return "Error #" + std::to_string(errorNumber) + ": " + std::strerror(errorNumber);
}

}  // namespace sievo
