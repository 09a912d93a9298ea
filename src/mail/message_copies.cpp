#include "mail/message_copies.h"

#include <filesystem>

#include "config/file_io.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"

namespace sievo {

std::string MessageCopyName(const std::string& folder, int index) {
    const std::string stem = folder + "msg_" + std::to_string(index);
    std::string name = stem + ".eml";
    // A copy left by an earlier check that never reached the Trash may be a deleted
    // message's only copy.
    for (int n = 2; std::filesystem::exists(name); ++n)
        name = stem + "-" + std::to_string(n) + ".eml";
    return name;
}

void WriteMessageCopy(const std::string& fileName, const QByteArray& bytes) {
    if (!WriteFileAtomically(fileName, std::string_view(bytes.constData(), bytes.size())))
        throw EMessageNotStored("Cannot create file \"" + fileName + "\"");
}

std::string HeaderTooLargeText(int index) {
    return "Header block of message " + std::to_string(index + 1LL) +
           " is too large to keep; the message is not judged";
}

std::string MessageTooLargeText(int index) {
    return "Message " + std::to_string(index + 1LL) + " is larger than " +
           std::to_string(mail_limits::kMaxRetrievedMessageBytes) + " bytes";
}

}  // namespace sievo
