#include "mail/ms_remote_pop.h"

#include <QIODevice>

#include "config/file_io.h"
#include "mail/mail_errors.h"

namespace sievo {

void TmsRemotePOP::SetMessageDirectory(const std::string& folder) {
    messageDirectory_ = folder;
    if (!messageDirectory_.empty() && !messageDirectory_.ends_with('/'))
        messageDirectory_ += '/';
}

void TmsRemotePOP::UpdateInfo() {
    ConnectAndLogin();
    Fire(OnUpdatingInfo);
    remoteInfo_.Clear();
    ListMessages();
    if (!KeepConnection)
        LogoutAndClose();
    Fire(OnInfoUpdated);
}

void TmsRemotePOP::ListMessages() {
    for (int i = 0; i < MessageCount(); ++i) {
        TmsRemoteInfoItem item;
        GetMessageInfo(i, item);
        remoteInfo_.Add(item);
        if (OnNextInfoUpdated)
            OnNextInfoUpdated(*this, remoteInfo_.Count() - 1);
    }
}

TmsRemoteInfoItem& TmsRemotePOP::MarkForDelete(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks |= TmsRemoteInfoItem::kDeleteMark;
    return item;
}

TmsRemoteInfoItem& TmsRemotePOP::MarkForRetrieve(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks |= TmsRemoteInfoItem::kRetrieveMark;
    return item;
}

TmsRemoteInfoItem& TmsRemotePOP::Unmark(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks = 0;
    return item;
}

bool TmsRemotePOP::VerifyMessage(int Index) {
    TmsRemoteInfoItem fresh;
    GetMessageInfo(Index, fresh);
    if (!SameMessage(remoteInfo_[Index], fresh))
        RaiseError(mail_texts::kIdsAreDifferent);
    return true;
}

void TmsRemotePOP::TransferData() {
    if (remoteInfo_.Empty())
        return;
    ConnectAndLogin();
    Fire(OnTransferringData);
    for (int i = 0; i < remoteInfo_.Count(); ++i)
        TransferItem(i);
    Fire(OnDataTransfered);
    LogoutAndClose();
}

void TmsRemotePOP::TransferItem(int Index) {
    const TmsRemoteInfoItem& item = remoteInfo_[Index];
    if (item.MarkedForRetrieve() && VerifyMessage(Index))
        RetrieveMessage(Index);
    // Verified again: the retrieval may have taken long enough for the mailbox to change.
    if (item.MarkedForDelete() && VerifyMessage(Index))
        DeleteMessage(Index);
}

std::string TmsRemotePOP::MessageFileName(int Index) const {
    return messageDirectory_ + "msg_" + std::to_string(Index) + ".eml";
}

void TmsRemotePOP::StoreMessage(int Index, QIODevice& Stream) {
    if (OnUserMessageSave) {
        OnUserMessageSave(*this, Index, Stream);
        return;
    }
    const std::string fileName = MessageFileName(Index);
    if (!WriteFileAtomically(fileName, Stream.readAll().toStdString()))
        RaiseError("Cannot create file \"" + fileName + "\"");
}

}  // namespace sievo
