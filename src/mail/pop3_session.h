#pragma once

#include "mail/mailbox_session.h"
#include "mail/ms_remote_pop.h"

namespace sievo {

// The mailbox session over POP3: every call goes to the POP3 client, which keeps its
// limits, time-outs and checks; the session only translates its events.
class Pop3Session : public MailboxSession {
public:
    // The account's server, log-in and security (see ApplyPopAccount), and its header
    // cache; the events are set first, so an unknown security text is told through them.
    Pop3Session(const TSievoUser& account, MailboxEvents events);
    Pop3Session(const MailboxLogin& login, MailboxEvents events);

    void SetTimeOut(int seconds) override { pop_.SetTimeOut(seconds); }
    void SetMessageFolder(const std::string& folder) override;
    const std::string& MessageFolder() const override { return pop_.MessageDirectory(); }

    void Connect() override { pop_.ConnectAndLogin(); }
    bool Connected() const override { return pop_.Connected(); }
    bool Encrypted() const override { return pop_.Encrypted(); }

    void List() override { pop_.UpdateInfo(); }
    const TmsRemoteInfo& Listing() const override { return pop_.RemoteInfo(); }

    TmsRemoteInfoItem& MarkForDelete(int index) override { return pop_.MarkForDelete(index); }
    TmsRemoteInfoItem& MarkForRetrieve(int index) override { return pop_.MarkForRetrieve(index); }
    TmsRemoteInfoItem& Unmark(int index) override { return pop_.Unmark(index); }
    void Verify(int index, const TmsRemoteInfoItem& listed) override;
    QByteArray Retrieve(int index) override;
    void CarryOutMarks(const CopiedEvent& copied) override;
    void Commit() override { pop_.LogoutAndClose(); }
    void Cancel() override { pop_.Cancel(); }

private:
    explicit Pop3Session(MailboxEvents events);

    TmsRemotePOP pop_;
};

}  // namespace sievo
