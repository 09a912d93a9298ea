#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/remote_info.h"
#include "net/ms_mail_base.h"

class QIODevice;

namespace sievo {

using TmsNumNotifyEvent = std::function<void(TagSocket& sender, int Num)>;

// The POP3 commands: log-in with USER, PASS and STAT, listing, retrieving and deleting
// one message. Indexes are 0-based; the message number on the wire is Index + 1.
class TmsCustomPOP : public TmsMailBase {
public:
    static constexpr std::uint16_t kPop3Port = 110;
    static constexpr std::uint16_t kPop3sPort = 995;

    explicit TmsCustomPOP(QObject* parent = nullptr);

    std::string UserName;
    std::string Password;
    // True: the listing sends one command at a time even when the server announces
    // PIPELINING, for a server that announces it wrongly and for comparisons.
    bool IgnorePipelining = false;

    TmsNumNotifyEvent OnRetrieving;
    TmsNumNotifyEvent OnRetrieved;
    TmsNumNotifyEvent OnDeleting;

    // From the last STAT; -1 until one has succeeded, kept after the connection ends.
    int MessageCount() const { return messageCount_; }
    // The messages a listing takes in: the first `MessageCount`, up to a limit.
    int ListedCount() const;
    qint64 MailboxSize() const { return mailboxSize_; }

    // 1 for "+", -1 for "-", 0 for anything else.
    int ReplyCode(std::string_view line) const override;
    // A user name and a password, each a single line, before any network activity.
    virtual void CheckRequired();
    void Open() override;
    // Greeting, STLS when asked for, USER, PASS, STAT.
    void Login() override;
    void Logout() override;

    // Fetches the whole message and hands it to `StoreMessage`.
    void RetrieveMessage(int Index);
    // Sends DELE; the server carries it out only when the session ends with QUIT.
    void DeleteMessage(int Index);
    // Size from LIST and header lines from TOP. A header block too large to keep is read
    // to its end and left out: the item says so, and `OnError` reports it without an
    // exception, as the listing goes on.
    void GetMessageInfo(int Index, TmsRemoteInfoItem& Item);
    // The server's id of one message from "UIDL n"; nothing when the server refuses it or
    // answers with no valid id.
    std::optional<std::string> ReadUniqueId(int Index);

protected:
    virtual void StoreMessage(int Index, QIODevice& Stream) = 0;

    // Whether CAPA named the capability; asked once per connection, and a server that
    // refuses CAPA announces nothing.
    bool Announces(std::string_view capability);
    // Sizes from one multi-line LIST, by message number; nothing when it is refused.
    std::optional<std::map<int, qint64>> ReadAllSizes();
    // The ids from one multi-line UIDL, by message number; nothing when it is refused or
    // when any message lacks a valid id of its own.
    std::optional<std::map<int, std::string>> ReadUniqueIds();

    // Each listing command in two halves, so that several can be sent before their
    // replies are read.
    void SendList(int Index);
    qint64 ReadListReply();
    void SendTop(int Index);
    // The header block is kept when it costs no more than `allowance` (see KeptHeaderCost).
    void ReadTopReply(int Index, TmsRemoteInfoItem& Item, qint64 allowance);

private:
    void Command(std::string_view text);
    // The data block of a multi-line reply; nothing when the server refuses the command or
    // the block holds more than `limit` bytes.
    std::optional<std::string> MultiLineReply(std::string_view command, qint64 limit);
    // Room for a LIST or UIDL reply over the listed messages.
    qint64 ListingReplyLimit() const;
    // Reads a reply line; anything but "+" raises `EServerError` with it.
    void RequirePositive();
    // STLS and the handshake; a refusal ends the connection before anything else is sent.
    void StartTlsSession();
    void ReadStat();
    qint64 StatNumber(const std::string& text);
    // A data block with the transfer's extra dots removed; nothing when it held more than
    // `limit` bytes, which were read to its end without being kept.
    std::optional<QByteArray> ReadDataBlock(qint64 size, qint64 limit);
    void RequireSingleLine(const std::string& text, const char* name);

    std::optional<std::vector<std::string>> capabilities_;  // per connection
    int messageCount_ = -1;
    qint64 mailboxSize_ = -1;
};

}  // namespace sievo
