#pragma once

#include <QAbstractSocket>
#include <string>

namespace sievo {

// The text of a failed socket operation, "Error #" + the system's error number + ": " +
// the system's text, with Qt's own text where no system error stands behind it.
std::string SocketErrorText(QAbstractSocket::SocketError error, const std::string& qtText);

}  // namespace sievo
