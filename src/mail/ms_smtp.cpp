#include "mail/ms_smtp.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <sstream>

#include "mail/dot_stuffing.h"
#include "mail/mail_errors.h"
#include "net/net_errors.h"
#include "net/tls_settings.h"

namespace sievo {

namespace {

// The spool file's name in the system's temporary folder begins with this.
constexpr const char* kSpoolPrefix = "/ms";
// An EHLO reply names a few dozen extensions at most; more is not a mail server.
constexpr std::size_t kMaxReplyLines = 1000;

constexpr int kServiceReady = 220;
constexpr int kClosing = 221;
constexpr int kAuthSucceeded = 235;
constexpr int kOk = 250;
constexpr int kWillForward = 251;
constexpr int kAuthChallenge = 334;
constexpr int kStartMailInput = 354;
constexpr int kFirstPositive = 200;
constexpr int kFirstIntermediate = 300;

constexpr std::string_view kLineEnd = "\r\n";

const char* const kAuthNeedsTls =
    "The SMTP password is sent only over TLS; set SMTPSecurity to \"NONE\" to allow "
    "it without";
const char* const kNoAuthMechanism = "The SMTP server offers neither AUTH PLAIN nor AUTH LOGIN";
const char* const kReplyTooLong = "The SMTP server's reply has too many lines";

bool Continues(const std::string& line) {
    constexpr std::size_t kDashAt = 3;
    return line.size() > kDashAt && line[kDashAt] == '-';
}

}  // namespace

TmsSMTP::TmsSMTP(QObject* parent) : TmsMailBase(parent) {
    Service = "smtp";
    DefaultPort = kSmtpPort;
    SecurePort = kSmtpsPort;
}

void TmsSMTP::Open() {
    if (Server.empty())
        RaiseError(kMsgServerRequired);
    ResetState();
    TmsMailBase::Open();
}

bool TmsSMTP::Extended() const {
    return Security != TlsMode::None || !UserName.empty() || !Password.empty();
}

void TmsSMTP::Login() {
    ConnectSocket();
    RequireCode({kServiceReady});
    if (Extended())
        GreetWithEhlo();
    else
        GreetWithHelo();
}

void TmsSMTP::GreetWithHelo() {
    SendLine("HELO " + LocalHostName());
    if (ReadReply() == kOk)
        return;
    // Some servers refuse the name they are given but take a bare HELO.
    SendLine("HELO");
    const int code = ReadReply();
    if (code < kFirstPositive || code >= kFirstIntermediate)
        RaiseReplyError();
}

void TmsSMTP::GreetWithEhlo() {
    SmtpCapabilities capabilities = Ehlo();
    if (Security == TlsMode::StartTls) {
        StartTlsSession(capabilities);
        // What the server said before TLS may have been forged: ask again.
        capabilities = Ehlo();
    }
    if (!UserName.empty() || !Password.empty())
        Authenticate(capabilities);
}

SmtpCapabilities TmsSMTP::Ehlo() {
    SendLine("EHLO " + LocalHostName());
    const std::vector<std::string> lines = ReadReplyLines();
    if (ReplyCode(lines.front()) != kOk)
        RaiseReplyError();
    return SmtpCapabilities::FromEhloReply(lines);
}

void TmsSMTP::StartTlsSession(const SmtpCapabilities& capabilities) {
    if (!capabilities.Has("STARTTLS"))
        FailTlsClosed("the server does not offer STARTTLS");
    SendLine("STARTTLS");
    if (ReadReply() != kServiceReady)
        FailTlsClosed("the server refused STARTTLS (" + ReplyText() + ")");
    StartTls();
}

void TmsSMTP::Authenticate(const SmtpCapabilities& capabilities) {
    if (!Encrypted() && !AllowPlainTextAuth) {
        Close();
        RaiseError(kAuthNeedsTls);
    }
    if (capabilities.HasAuth("PLAIN")) {
        SendSecretLine("AUTH PLAIN ", AuthPlainResponse(UserName, Password));
    } else if (capabilities.HasAuth("LOGIN")) {
        Command("AUTH LOGIN", {kAuthChallenge});
        Command(Base64(UserName), {kAuthChallenge});
        SendSecretLine("", Base64(Password));
    } else {
        RaiseError(kNoAuthMechanism);
    }
    RequireCode({kAuthSucceeded});
}

void TmsSMTP::FailTlsClosed(const std::string& reason) {
    Close();
    RaiseError(TlsFailureText(reason));
}

void TmsSMTP::Logout() {
    QCoreApplication::processEvents();
    Command("QUIT", {kClosing});
}

void TmsSMTP::TransmitMessage() {
    if (!MailMessage)
        RaiseError(mail_texts::kMailMessageRequired);
    MailMessage->CheckRequired();
    RequireSingleLineAddresses();
    const std::unique_ptr<QTemporaryFile> spool = WriteSpool();
    Fire(OnSending);
    const std::string& sender = MailMessage->Sender().Address();
    if (!sender.empty())
        Command("MAIL FROM:<" + sender + ">", {kOk});
    SendRecipients(MailMessage->Recipients());
    SendRecipients(MailMessage->CC());
    SendRecipients(MailMessage->BCC());
    Command("DATA", {kStartMailInput});
    SendStream(*spool);
    SendLine("");
    endOfDataSent_ = true;
    Command(".", {kOk});
    Fire(OnMailSent);
}

void TmsSMTP::RequireSingleLineAddresses() {
    std::vector<std::string> addresses{MailMessage->Sender().Address()};
    for (const TmsAddressList* list :
         {&MailMessage->Recipients(), &MailMessage->CC(), &MailMessage->BCC()}) {
        for (const TmsMailAddress& entry : *list)
            addresses.push_back(entry.Address());
    }
    const bool broken = std::any_of(addresses.begin(), addresses.end(), [](const auto& text) {
        return text.find_first_of("\r\n") != std::string::npos;
    });
    if (broken)
        RaiseError(std::string("An address") + mail_texts::kLineBreakInField);
}

std::unique_ptr<QTemporaryFile> TmsSMTP::WriteSpool() {
    auto spool = std::make_unique<QTemporaryFile>(QDir::tempPath() + kSpoolPrefix);
    if (!spool->open())
        RaiseError("Cannot create the spool file: " + spool->errorString().toStdString());
    Fire(OnPrepare);
    std::ostringstream text;
    MailMessage->SaveToStream(text);
    // Stuffed here, so that no line of the message can end the data early or lose its dot.
    QByteArray data = StuffEncodedText(QByteArray::fromStdString(text.str()));
    if (!data.endsWith(kLineEnd.data()))
        data.append(kLineEnd.data());
    if (spool->write(data) != data.size() || !spool->flush())
        RaiseError("Cannot write the spool file: " + spool->errorString().toStdString());
    return spool;
}

void TmsSMTP::SendRecipients(const TmsAddressList& list) {
    for (const TmsMailAddress& entry : list)
        Command("RCPT TO:<" + entry.Address() + ">", {kOk, kWillForward});
}

void TmsSMTP::SendMail() {
    endOfDataSent_ = false;
    try {
        ConnectAndLogin();
        TransmitMessage();
    } catch (...) {
        EndQuietly();
        throw;
    }
    EndQuietly();  // the message is accepted: a lost QUIT reply changes nothing
}

void TmsSMTP::EndQuietly() {
    try {
        LogoutAndClose();
    } catch (const Exception&) {
        // Reported through OnError already; what the caller needs is the transaction's
        // own outcome.
    }
}

void TmsSMTP::Command(const std::string& text, std::initializer_list<int> codes) {
    SendLine(text);
    RequireCode(codes);
}

void TmsSMTP::RequireCode(std::initializer_list<int> codes) {
    const int code = ReadReply();
    if (std::find(codes.begin(), codes.end(), code) == codes.end())
        RaiseReplyError();
}

void TmsSMTP::RaiseReplyError() {
    if (!LineComplete())
        RaiseError(mail_texts::kServerClosed);
    RaiseServerError(ReplyText());
}

std::vector<std::string> TmsSMTP::ReadReplyLines() {
    std::vector<std::string> lines;
    std::string line;
    do {
        if (lines.size() == kMaxReplyLines)
            RaiseError(kReplyTooLong);
        ReadLine(line);
        lines.push_back(line);
    } while (LineComplete() && Continues(line));
    return lines;
}

}  // namespace sievo
