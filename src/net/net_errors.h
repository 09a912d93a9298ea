#pragma once

#include <string>

#include "config/errors.h"

namespace sievo {

// Socket and argument errors of the transport layer.
class ESocketError : public Exception {
public:
    using Exception::Exception;
};

// A negative protocol reply; the message is the server's reply line.
class EServerError : public Exception {
public:
    using Exception::Exception;
};

class ECanceledError : public Exception {
public:
    using Exception::Exception;
};

class ETimedOutError : public Exception {
public:
    using Exception::Exception;
};

// A failure of the dial-up networking service, with its code and its own text.
class ERASError : public Exception {
public:
    ERASError(int code, const std::string& message);
    int Code() const { return code_; }

private:
    int code_;
};

// The numbered messages of the transport layer; the number is also the error code.
enum SocketMessage : int {
    kMsgTimedOut = 57000,
    kMsgCanceled = 57001,
    kMsgServerRequired = 57002,
    kMsgInvalidVersion = 57003,
    kMsgResolveError = 57004,
    kMsgServiceRequired = 57005,
    kMsgProxyPortRequired = 57006,
    kMsgInvalidUrl = 57007,
    kMsgNotConnected = 57008,
    kMsgFunctionNotFound = 57010,
    kMsgNotLoaded = 57011,
    kMsgNotFound = 57012,
};

// The text of a numbered message; "Error #" + the number for any other code.
std::string SocketMessageText(int code);

// "Error #" + the system's error number + ": " + the system's text for it.
std::string SystemErrorText(int errorNumber);

}  // namespace sievo
