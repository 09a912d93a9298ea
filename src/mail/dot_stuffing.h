#pragma once

#include <QByteArray>

namespace sievo {

// POP3 and SMTP send a data line that begins with "." with one more "." in front, so
// that no line of the data can pass for the "." line that ends it.

// The data as received, with the extra dot of every such line removed again.
QByteArray RemoveDotStuffing(const QByteArray& data);

// The message encoder's text as it must be sent. The encoder writes a line that is a lone
// "." as "..", stuffed already; every other line that begins with "." gets one more.
QByteArray StuffEncodedText(const QByteArray& text);

}  // namespace sievo
