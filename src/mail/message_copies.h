#pragma once

#include <QByteArray>
#include <string>

namespace sievo {

// folder + "msg_" + index + ".eml", or with "-2", "-3" ... before ".eml" while a file of
// that name exists: a copy waiting there is never replaced. `folder` ends with "/".
std::string MessageCopyName(const std::string& folder, int index);

// Writes a message's copy whole or not at all; raises EMessageNotStored when it cannot.
void WriteMessageCopy(const std::string& fileName, const QByteArray& bytes);

// The notes told when a listing or a retrieval leaves a message out (`index` is 0-based).
std::string HeaderTooLargeText(int index);
std::string MessageTooLargeText(int index);

}  // namespace sievo
