#include "mail/pop3_session.h"

#include <QIODevice>
#include <QScopeGuard>

#include "config/account.h"
#include "config/data_folder.h"
#include "mail/account_clients.h"
#include "mail/header_cache.h"

namespace sievo {

namespace {

template <typename... Args>
auto Forward(std::function<void(Args...)> handler) {
    return [handler = std::move(handler)](TagSocket&, Args... args) { handler(args...); };
}

}  // namespace

Pop3Session::Pop3Session(const TSievoUser& account, MailboxEvents events)
    : Pop3Session(std::move(events)) {
    ApplyPopAccount(pop_, account);
    pop_.HeaderCacheFile = ProgramFile(HeaderCacheName(account.POPUser, account.POPAddress));
}

Pop3Session::Pop3Session(const MailboxLogin& login, MailboxEvents events)
    : Pop3Session(std::move(events)) {
    pop_.Server = login.server;
    pop_.UserName = login.user;
    pop_.Password = login.password;
    pop_.Security = login.security;
}

Pop3Session::Pop3Session(MailboxEvents events) {
    // The connection stays open after a listing, for the marks carried out later.
    pop_.KeepConnection = true;
    if (events.error)
        pop_.OnError = Forward(std::move(events.error));
    if (events.listed)
        pop_.OnNextInfoUpdated = [this, listed = std::move(events.listed)](TagSocket&, int index) {
            listed(index, pop_.MessageCount());
        };
    if (events.starting) {
        pop_.OnUpdatingInfo = [starting = events.starting](TagSocket&) { starting(); };
        pop_.OnRetrieving = [starting = events.starting](TagSocket&, int) { starting(); };
    }
    if (events.cacheNotSaved)
        pop_.OnHeaderCacheNotSaved = Forward(std::move(events.cacheNotSaved));
    if (events.notStored)
        pop_.OnMessageNotStored = Forward(std::move(events.notStored));
}

void Pop3Session::SetMessageFolder(const std::string& folder) {
    pop_.SetMessageDirectory(folder);
}

void Pop3Session::Verify(int index, const TmsRemoteInfoItem& listed) {
    pop_.VerifyMessage(index, listed);
}

QByteArray Pop3Session::Retrieve(int index) {
    QByteArray message;
    pop_.OnUserMessageSave = [&message](TagSocket&, int, QIODevice& contents) {
        message = contents.readAll();
    };
    const auto restore = qScopeGuard([this] { pop_.OnUserMessageSave = nullptr; });
    pop_.RetrieveMessage(index);
    return message;
}

void Pop3Session::CarryOutMarks(const CopiedEvent& copied) {
    if (copied)
        pop_.OnRetrieved = [&copied](TagSocket&, int index) { copied(index); };
    const auto restore = qScopeGuard([this] { pop_.OnRetrieved = nullptr; });
    pop_.TransferData();
}

}  // namespace sievo
