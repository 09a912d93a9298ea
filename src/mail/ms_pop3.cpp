#include "mail/ms_pop3.h"

#include <QBuffer>
#include <limits>
#include <sstream>

#include "mail/dot_stuffing.h"
#include "mail/line_stream.h"
#include "mail/mail_errors.h"
#include "mail/pop3_replies.h"
#include "net/tls_settings.h"

namespace sievo {

namespace {

std::string MessageNumber(int index) {
    return std::to_string(static_cast<long long>(index) + 1);
}

TmsHeaders HeaderLines(const QByteArray& block) {
    std::istringstream stream(block.toStdString());
    TLineStream reader(stream);
    TmsHeaders lines;
    for (std::string line = reader.ReadLine(); !reader.Eof(); line = reader.ReadLine())
        lines.push_back(line);
    TruncateAtBody(lines);
    return lines;
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

void TmsCustomPOP::RetrieveMessage(int Index) {
    SendList(Index);
    const qint64 size = ReadListReply();
    if (OnRetrieving)
        OnRetrieving(*this, Index);
    Command("RETR " + MessageNumber(Index));
    QByteArray message = ReadDataBlock(size);
    QBuffer stream(&message);
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
    ReadTopReply(Item);
}

void TmsCustomPOP::SendList(int Index) {
    SendLine("LIST " + MessageNumber(Index));
}

qint64 TmsCustomPOP::ReadListReply() {
    RequirePositive();
    return ListReplySize(ReplyText());
}

void TmsCustomPOP::SendTop(int Index) {
    SendLine("TOP " + MessageNumber(Index) + " 1");
}

void TmsCustomPOP::ReadTopReply(TmsRemoteInfoItem& Item) {
    RequirePositive();
    Item.Headers = HeaderLines(ReadDataBlock(-1));
}

QByteArray TmsCustomPOP::ReadDataBlock(qint64 size) {
    QBuffer block;
    block.open(QIODevice::WriteOnly);
    ReadToTerminator(block, size);
    return RemoveDotStuffing(block.data());
}

}  // namespace sievo
