#pragma once

#include <QObject>

namespace sievo {

// A network link a socket makes sure of before it connects and lets go of when it closes
// (the dial-up component).
class DialUpLink : public QObject {
public:
    using QObject::QObject;

    // Makes sure a connection exists, dialling when needed; raises when that fails.
    virtual void Connect() = 0;
    // The socket no longer needs the connection.
    virtual void Release() = 0;
};

}  // namespace sievo
