#include "mail/ms_pop3.h"

#include <QBuffer>
#include <algorithm>
#include <cctype>
#include <limits>
#include <set>

#include "config/text.h"
#include "mail/capped_buffer.h"
#include "mail/dot_stuffing.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"
#include "mail/message_copies.h"
#include "mail/pop3_replies.h"
#include "net/tls_settings.h"

namespace sievo {

namespace {

std::string MessageNumber(int index) {
    return std::to_string(static_cast<long long>(index) + 1);
}

std::vector<std::string> BlockLines(std::string_view block) {
    std::vector<std::string> lines;
    ForEachLine(block, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

TmsHeaders HeaderLines(const QByteArray& block) {
    TmsHeaders lines = BlockLines(std::string_view(block.constData(), std::size_t(block.size())));
    TruncateAtBody(lines);
    return lines;
}

// The first word of a CAPA line, which names the capability; the rest are its arguments.
std::string CapabilityName(const std::string& line) {
    std::string name = line.substr(0, line.find(' '));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string NotAnInteger(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

}  // namespace

TmsCustomPOP::TmsCustomPOP(QObject* parent) : TmsMailBase(parent) {
    Service = "pop3";
    DefaultPort = kPop3Port;
    SecurePort = kPop3sPort;
}

int TmsCustomPOP::ReplyCode(std::string_view line) const {
    if (line.starts_with('+'))
        return 1;
    if (line.starts_with('-'))
        return -1;
    return 0;
}

void TmsCustomPOP::CheckRequired() {
    if (UserName.empty())
        RaiseError(mail_texts::kUserNameRequired);
    if (Password.empty())
        RaiseError(mail_texts::kPasswordRequired);
    RequireSingleLine(UserName, "UserName");
    RequireSingleLine(Password, "Password");
}

void TmsCustomPOP::RequireSingleLine(const std::string& text, const char* name) {
    if (text.find_first_of("\r\n") != std::string::npos)
        RaiseError(name + std::string(mail_texts::kLineBreakInField));
}

void TmsCustomPOP::Open() {
    CheckRequired();
    ResetState();
    TmsMailBase::Open();
}

void TmsCustomPOP::Login() {
    ResetState();
    capabilities_.reset();
    ConnectSocket();
    RequirePositive();
    if (Security == TlsMode::StartTls)
        StartTlsSession();
    Command("USER " + UserName);
    SendSecretLine("PASS ", Password);
    RequirePositive();
    Command("STAT");
    ReadStat();
}

void TmsCustomPOP::StartTlsSession() {
    SendLine("STLS");
    std::string line;
    if (ReadLine(line) != 1) {
        Close();
        RaiseError(TlsFailureText("the server does not offer STLS (" + line + ")"));
    }
    StartTls();
}

void TmsCustomPOP::ReadStat() {
    const auto fields = SplitStatReply(ReplyText());
    if (!fields)
        return;
    const qint64 count = StatNumber(fields->count);
    if (count > std::numeric_limits<int>::max())
        RaiseError(NotAnInteger(fields->count));
    const qint64 size = StatNumber(fields->size);
    messageCount_ = static_cast<int>(count);
    mailboxSize_ = size;
}

qint64 TmsCustomPOP::StatNumber(const std::string& text) {
    const auto number = ParseCount(text);
    if (!number)
        RaiseError(NotAnInteger(text));
    return *number;
}

void TmsCustomPOP::Logout() {
    Command("QUIT");
}

void TmsCustomPOP::Command(std::string_view text) {
    SendLine(text);
    RequirePositive();
}

void TmsCustomPOP::RequirePositive() {
    std::string line;
    if (ReadLine(line) == 1)
        return;
    if (!LineComplete())
        RaiseError(mail_texts::kServerClosed);
    RaiseServerError(line);
}

int TmsCustomPOP::ListedCount() const {
    return std::min(messageCount_, mail_limits::kMaxListedMessages);
}

void TmsCustomPOP::RetrieveMessage(int Index) {
    SendList(Index);
    const qint64 size = ReadListReply();
    if (OnRetrieving)
        OnRetrieving(*this, Index);
    Command("RETR " + MessageNumber(Index));
    // A size beyond what is kept must not lengthen the reply's deadline either.
    auto message = ReadDataBlock(std::min(size, mail_limits::kMaxRetrievedMessageBytes),
                                 mail_limits::kMaxRetrievedMessageBytes);
    if (!message)
        RaiseError(MessageTooLargeText(Index));
    QBuffer stream(&*message);
    stream.open(QIODevice::ReadOnly);
    StoreMessage(Index, stream);
    if (OnRetrieved)
        OnRetrieved(*this, Index);
}

void TmsCustomPOP::DeleteMessage(int Index) {
    if (OnDeleting)
        OnDeleting(*this, Index);
    // A refused deletion is reported, never taken for a done one.
    Command("DELE " + MessageNumber(Index));
}

void TmsCustomPOP::GetMessageInfo(int Index, TmsRemoteInfoItem& Item) {
    SendList(Index);
    Item.Size = ReadListReply();
    SendTop(Index);
    ReadTopReply(Index, Item, mail_limits::kMaxHeaderBlockBytes);
}

std::optional<std::string> TmsCustomPOP::ReadUniqueId(int Index) {
    SendLine("UIDL " + MessageNumber(Index));
    std::string line;
    if (ReadLine(line) != 1) {
        if (!LineComplete())
            RaiseError(mail_texts::kServerClosed);
        return std::nullopt;
    }
    // "+OK n id": after the status word, a line as in the multi-line listing.
    const auto ids = NumberedLines(std::string_view(line).substr(line.find(' ') + 1));
    const auto id = ids.find(Index + 1);
    if (id == ids.end() || !ValidUniqueId(id->second))
        return std::nullopt;
    return id->second;
}

bool TmsCustomPOP::Announces(std::string_view capability) {
    if (!capabilities_) {
        capabilities_.emplace();
        const auto block = MultiLineReply("CAPA", mail_limits::kMaxCapabilityBytes);
        for (const auto& line : block ? BlockLines(*block) : std::vector<std::string>())
            capabilities_->push_back(CapabilityName(line));
    }
    return std::find(capabilities_->begin(), capabilities_->end(), capability) !=
           capabilities_->end();
}

std::optional<std::map<int, qint64>> TmsCustomPOP::ReadAllSizes() {
    const auto block = MultiLineReply("LIST", ListingReplyLimit());
    if (!block)
        return std::nullopt;
    std::map<int, qint64> sizes;
    // A size that is no number counts as 0, as in the reply to "LIST n".
    for (const auto& [number, size] : NumberedLines(*block))
        sizes.emplace(number, ParseCount(size).value_or(0));
    return sizes;
}

std::optional<std::map<int, std::string>> TmsCustomPOP::ReadUniqueIds() {
    const auto block = MultiLineReply("UIDL", ListingReplyLimit());
    if (!block)
        return std::nullopt;
    auto ids = NumberedLines(*block);
    std::set<std::string> seen;
    for (int number = 1; number <= ListedCount(); ++number) {
        const auto id = ids.find(number);
        // An id shared by two messages would let one pass for the other.
        if (id == ids.end() || !ValidUniqueId(id->second) || !seen.insert(id->second).second)
            return std::nullopt;
    }
    return ids;
}

std::optional<std::string> TmsCustomPOP::MultiLineReply(std::string_view command, qint64 limit) {
    SendLine(command);
    std::string line;
    if (ReadLine(line) != 1) {
        if (!LineComplete())
            RaiseError(mail_texts::kServerClosed);
        return std::nullopt;
    }
    // A block over the limit counts as refused: the listing then asks message by message.
    const auto block = ReadDataBlock(-1, limit);
    if (!block)
        return std::nullopt;
    return block->toStdString();
}

qint64 TmsCustomPOP::ListingReplyLimit() const {
    return (static_cast<qint64>(std::max(ListedCount(), 0)) + 1) * mail_limits::kListingLineBytes;
}

void TmsCustomPOP::SendList(int Index) {
    QueueLine("LIST " + MessageNumber(Index));
}

qint64 TmsCustomPOP::ReadListReply() {
    RequirePositive();
    return ListReplySize(ReplyText());
}

void TmsCustomPOP::SendTop(int Index) {
    QueueLine("TOP " + MessageNumber(Index) + " 1");
}

void TmsCustomPOP::ReadTopReply(int Index, TmsRemoteInfoItem& Item, qint64 allowance) {
    RequirePositive();
    const auto block = ReadDataBlock(-1, allowance);
    Item.HeaderTooLarge = !block || KeptHeaderCost(block->size(), block->count('\n')) > allowance;
    Item.Headers = Item.HeaderTooLarge ? TmsHeaders() : HeaderLines(*block);
    if (Item.HeaderTooLarge && OnError)
        OnError(*this, HeaderTooLargeText(Index));
}

std::optional<QByteArray> TmsCustomPOP::ReadDataBlock(qint64 size, qint64 limit) {
    CappedBuffer block(limit);
    ReadToTerminator(block, size);
    if (block.Overflowed())
        return std::nullopt;
    return RemoveDotStuffing(block.Data());
}

}  // namespace sievo
