#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/imap_response.h"
#include "net/ms_mail_base.h"

namespace sievo {

// A folder as the server's LIST names it, with its attributes (\Junk, \Noselect ...).
struct ImapFolder {
    std::string name;
    std::vector<std::string> attributes{};

    bool Has(std::string_view attribute) const;
};

// The IMAP commands the program needs (RFC 3501 and its extensions MOVE, UIDPLUS,
// SPECIAL-USE): log-in over TLS, SELECT, and FETCH, COPY, MOVE, STORE and EXPUNGE by UID.
// Commands given together are sent together and their replies read as they come, so a
// whole listing costs a round trip or two however many messages it takes in. Literals are
// read by their announced length, within limits, and never kept when they exceed them.
// The items of a FETCH reply; nullptr for any other reply.
const ImapValue* FetchedItems(const ImapResponse& reply);
// The folder a LIST reply names; nothing for any other reply.
std::optional<ImapFolder> ListedFolder(const ImapResponse& reply);

class TmsIMAP : public TmsMailBase {
public:
    static constexpr std::uint16_t kImapPort = 143;
    static constexpr std::uint16_t kImapsPort = 993;

    // Each answered FETCH: the message's sequence number and the list of its items.
    using FetchEvent = std::function<void(std::uint32_t number, const ImapValue& items)>;

    explicit TmsIMAP(QObject* parent = nullptr);

    std::string UserName;
    std::string Password;
    // True: the password may be sent without TLS (the account asks for no security by
    // name); the server's LOGINDISABLED still forbids it.
    bool AllowPlainTextLogin = false;
    // Texts the server marks [ALERT], which it wants the user to read.
    TmsErrorEvent OnAlert;

    // Replies are told apart by their tags, not by codes.
    int ReplyCode(std::string_view line) const override;
    void Open() override;
    // Greeting, STARTTLS when asked for, CAPABILITY, LOGIN or AUTHENTICATE PLAIN.
    void Login() override;
    void Logout() override;

    // Whether the server names the capability (in upper case), as it last said.
    bool Announces(std::string_view capability) const;

    // Folder names are UTF-8 here and modified UTF-7 on the wire; this is a name as a
    // command's argument.
    std::string FolderArgument(const std::string& folder);

    // Selects the folder for reading and writing; answers its UIDVALIDITY.
    std::uint32_t Select(const std::string& folder);
    // As the server last told: what a changed UIDVALIDITY or EXISTS sent unasked updates.
    std::uint32_t UidValidity() const { return uidValidity_; }
    std::uint32_t Exists() const { return exists_; }

    // Lets the server tell what other programs changed meanwhile (messages they expunged).
    void Noop();

    // IDLE (RFC 2177): the server tells of changes to the selected folder as they happen,
    // until `Done`. `Idle` returns once the server has agreed; what it tells meanwhile is
    // read by `ReadArrived` without waiting, as it arrives.
    void Idle();
    void Done();
    bool Idling() const { return !idleTag_.empty(); }
    // Reads every reply that has arrived whole (EXISTS updates `Exists`); raises when the
    // server has closed the connection.
    void ReadArrived();

    std::vector<ImapFolder> ListFolders();

    // The source UIDs of the last COPY or MOVE, as a server with UIDPLUS names them in its
    // COPYUID code (RFC 4315); nothing when it named none since ClearCopiedUids.
    void ClearCopiedUids() { copiedUids_.reset(); }
    const std::optional<std::vector<std::uint32_t>>& CopiedUids() const { return copiedUids_; }
    // The LIST command of ListFolders, for sending along with others.
    std::string ListCommand() const;
    void CreateFolder(const std::string& name);

    // "UID FETCH <set> <items>" for each set, sent together. A literal larger than
    // `literalLimit` is read to its end and dropped: its value says so.
    void UidFetch(const std::vector<std::string>& sets, std::string_view items, qint64 literalLimit,
                  const FetchEvent& fetched);

    using UntaggedEvent = std::function<void(const ImapResponse&)>;
    // Sends the commands together and reads until each has its tagged reply; every
    // untagged reply is noted, then handed to `untagged`. A refusal of any raises
    // EServerError with its reply once all are answered. Commands that need no answer of
    // each other share a round trip this way.
    void Run(const std::vector<std::string>& commands, const UntaggedEvent& untagged = {},
             qint64 literalLimit = 0);
    // The same without raising: each command's refusal, nothing for one that succeeded.
    std::vector<std::optional<std::string>> RunAll(const std::vector<std::string>& commands,
                                                   const UntaggedEvent& untagged,
                                                   qint64 literalLimit);
    // Raises EServerError with the refusal line, as Run does.
    [[noreturn]] void Refuse(const std::string& line) { RaiseServerError(line); }
    // SELECT and "UID FETCH 1:* <items>" in one round trip (see Select).
    void SelectAndFetch(const std::string& folder, std::string_view items,
                        const FetchEvent& fetched);

private:
    void Run(const std::string& command, const UntaggedEvent& untagged = {});
    ImapResponse ReadResponse(qint64 literalLimit);
    std::optional<std::string> ReadLiteral(std::uint64_t size, qint64 limit);
    // What every untagged reply may tell, whichever command it came with.
    void Note(const ImapResponse& response);
    void AddCopiedUids(const std::string& set);
    void ReadGreeting();
    void StartTlsSession();
    void Authenticate();
    std::string NextTag();
    [[noreturn]] void RaiseClosed();

    std::vector<std::string> capabilities_;
    std::string byeText_;
    std::uint32_t uidValidity_ = 0;
    std::uint32_t exists_ = 0;
    int lastTag_ = 0;
    std::string idleTag_;
    std::optional<std::vector<std::uint32_t>> copiedUids_;
};

class TSievoUser;

// Takes the account's incoming server, log-in and security; raises on a security that is
// none of NONE, SSL and STARTTLS.
void SetAccountLogin(TmsIMAP& imap, const TSievoUser& account);

}  // namespace sievo
