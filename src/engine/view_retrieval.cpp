#include "engine/view_retrieval.h"

#include "config/data_folder.h"
#include "config/file_io.h"
#include "mail/mail_errors.h"
#include "mail/mailbox_session.h"

namespace sievo {

std::string RetrieveForViewing(MailboxSession& session, int index) {
    const QByteArray message = session.Retrieve(index);
    const std::string viewed = ProgramFile("msg_" + std::to_string(index) + ".eml");
    if (!WriteFileAtomically(viewed, std::string_view(message.constData(), message.size())))
        throw EMessageNotStored("Cannot create file \"" + viewed + "\"");
    return viewed;
}

}  // namespace sievo
