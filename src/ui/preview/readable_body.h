#pragma once

#include <QString>

namespace sievo {

class TmsCustomMessage;

// The text of a received message as a person reads it: converted from the charset its
// text was declared in, and an HTML text (the body, or the only text a message carries)
// reduced to its words. Nothing in it is fetched or run.
QString ReadableBody(const TmsCustomMessage& message);

}  // namespace sievo
