#include "mail/mailbox_session.h"

#include "config/account.h"
#include "mail/imap_session.h"
#include "mail/pop3_session.h"

namespace sievo {

std::unique_ptr<MailboxSession> MakeMailboxSession(const TSievoUser& account,
                                                   MailboxEvents events) {
    if (account.Protocol == "IMAP")
        return std::make_unique<ImapSession>(account, std::move(events));
    return std::make_unique<Pop3Session>(account, std::move(events));
}

std::unique_ptr<MailboxSession> MakeImapSession(const MailboxLogin& login, MailboxEvents events) {
    return std::make_unique<ImapSession>(login, ImapFolders{}, std::move(events));
}

std::unique_ptr<MailboxSession> MakePop3Session(const MailboxLogin& login, MailboxEvents events) {
    return std::make_unique<Pop3Session>(login, std::move(events));
}

}  // namespace sievo
