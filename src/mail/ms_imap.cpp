#include "mail/ms_imap.h"

#include <QBuffer>
#include <algorithm>
#include <cctype>
#include <utility>

#include "config/account.h"
#include "mail/capped_buffer.h"
#include "mail/imap_folder_names.h"
#include "mail/imap_uid_sets.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"
#include "net/tls_settings.h"

namespace sievo {

namespace {

constexpr const char* kLoginDisabled =
    "The IMAP server refuses a log-in without TLS: choose SSL or STARTTLS for the incoming "
    "server";
constexpr const char* kPlainTextRefused =
    "The password is not sent without TLS: choose SSL or STARTTLS for the incoming server, "
    "or write POPSecurity=NONE for the account to allow it";

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The reply as the server wrote it, for the error that reports it.
std::string StatusLine(const ImapResponse& response) {
    std::string line = response.tag + " " + response.name;
    if (!response.code.empty())
        line += " [" + response.code + "]";
    return line + (response.text.empty() ? "" : " " + response.text);
}

std::string Quoted(TagSocket& client, const std::string& text) {
    const auto quoted = ImapQuoted(text);
    if (!quoted)
        client.RaiseError("\"" + text + "\"" + mail_texts::kLineBreakInField);
    return *quoted;
}

std::string PlainCredentials(const std::string& user, const std::string& password) {
    const std::string message = std::string(1, '\0') + user + '\0' + password;
    return QByteArray::fromStdString(message).toBase64().toStdString();
}

}  // namespace

const ImapValue* FetchedItems(const ImapResponse& reply) {
    if (reply.name != "FETCH" || !reply.number || reply.values.size() != 1 ||
        reply.values[0].kind != ImapValue::Kind::List)
        return nullptr;
    return &reply.values[0];
}

std::optional<ImapFolder> ListedFolder(const ImapResponse& reply) {
    if (reply.name != "LIST" || reply.values.size() < 3 ||
        reply.values[0].kind != ImapValue::Kind::List)
        return std::nullopt;
    ImapFolder folder{.name = DecodeFolderName(reply.values[2].text)};
    for (const ImapValue& attribute : reply.values[0].items)
        folder.attributes.push_back(attribute.text);
    return folder;
}

bool ImapFolder::Has(std::string_view attribute) const {
    return std::any_of(attributes.begin(), attributes.end(), [attribute](const std::string& a) {
        return Upper(a) == Upper(std::string(attribute));
    });
}

TmsIMAP::TmsIMAP(QObject* parent) : TmsMailBase(parent) {
    Service = "imap";
    DefaultPort = kImapPort;
    SecurePort = kImapsPort;
}

int TmsIMAP::ReplyCode(std::string_view) const {
    return 0;
}

void TmsIMAP::Open() {
    if (UserName.empty())
        RaiseError(mail_texts::kUserNameRequired);
    if (Password.empty())
        RaiseError(mail_texts::kPasswordRequired);
    for (const auto* text : {&UserName, &Password}) {
        if (!ImapQuoted(*text))
            RaiseError((text == &UserName ? "UserName" : "Password") +
                       std::string(mail_texts::kLineBreakInField));
    }
    ResetState();
    TmsMailBase::Open();
}

void TmsIMAP::Login() {
    ResetState();
    idleTag_.clear();
    capabilities_.clear();
    byeText_.clear();
    uidValidity_ = exists_ = 0;
    ConnectSocket();
    ReadGreeting();
    if (Security == TlsMode::StartTls)
        StartTlsSession();
    if (capabilities_.empty())
        Run("CAPABILITY");
    Authenticate();
}

void TmsIMAP::ReadGreeting() {
    const ImapResponse greeting = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
    Note(greeting);
    if (greeting.name == "BYE" || !greeting.Untagged())
        RaiseServerError(StatusLine(greeting));
    // A session that starts logged in cannot start TLS after all.
    if (greeting.name == "PREAUTH" && Security == TlsMode::StartTls) {
        Close();
        RaiseError(TlsFailureText("the server logged in before STARTTLS"));
    }
}

void TmsIMAP::StartTlsSession() {
    const std::string tag = NextTag();
    SendLine(tag + " STARTTLS");
    for (;;) {
        const ImapResponse reply = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        if (reply.tag != tag)
            continue;
        if (reply.name != "OK") {
            Close();
            RaiseError(
                TlsFailureText("the server does not offer STARTTLS (" + StatusLine(reply) + ")"));
        }
        break;
    }
    StartTls();
    // What the server said before TLS may have been changed on the way.
    capabilities_.clear();
}

void TmsIMAP::Authenticate() {
    if (!Encrypted() && Announces("LOGINDISABLED")) {
        Close();
        RaiseError(kLoginDisabled);
    }
    if (!Encrypted() && !AllowPlainTextLogin) {
        Close();
        RaiseError(kPlainTextRefused);
    }
    const std::string tag = NextTag();
    if (Announces("AUTH=PLAIN") && Announces("SASL-IR")) {
        SendSecretLine(tag + " AUTHENTICATE PLAIN ", PlainCredentials(UserName, Password));
    } else if (Announces("AUTH=PLAIN")) {
        SendLine(tag + " AUTHENTICATE PLAIN");
        const ImapResponse next = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        if (next.tag != "+")
            RaiseServerError(StatusLine(next));
        SendSecretLine("", PlainCredentials(UserName, Password));
    } else {
        SendSecretLine(tag + " LOGIN " + Quoted(*this, UserName) + " ", Quoted(*this, Password));
    }
    bool toldCapabilities = false;
    for (;;) {
        const ImapResponse reply = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        Note(reply);
        toldCapabilities = toldCapabilities || reply.CodeName() == "CAPABILITY";
        if (reply.tag != tag)
            continue;
        if (reply.name != "OK")
            RaiseServerError(StatusLine(reply));
        break;
    }
    // The capabilities may grow after the log-in; most servers say so in its reply.
    if (!toldCapabilities)
        Run("CAPABILITY");
}

void TmsIMAP::Logout() {
    // Nothing waits for the server's good-bye: every change is final once its command was
    // answered, and the close follows at once.
    SendLine(NextTag() + " LOGOUT");
}

bool TmsIMAP::Announces(std::string_view capability) const {
    return std::find(capabilities_.begin(), capabilities_.end(), capability) != capabilities_.end();
}

std::string TmsIMAP::FolderArgument(const std::string& folder) {
    return Quoted(*this, EncodeFolderName(folder));
}

std::uint32_t TmsIMAP::Select(const std::string& folder) {
    uidValidity_ = exists_ = 0;
    Run("SELECT " + FolderArgument(folder));
    return uidValidity_;
}

void TmsIMAP::Noop() {
    Run("NOOP");
}

void TmsIMAP::Idle() {
    const std::string tag = NextTag();
    SendLine(tag + " IDLE");
    for (;;) {
        const ImapResponse reply = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        Note(reply);
        if (reply.tag == "+")
            break;
        if (reply.tag == tag)
            RaiseServerError(StatusLine(reply));
    }
    idleTag_ = tag;
}

void TmsIMAP::Done() {
    const std::string tag = std::exchange(idleTag_, {});
    if (tag.empty())
        return;
    SendLine("DONE");
    for (;;) {
        const ImapResponse reply = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        Note(reply);
        if (reply.tag != tag)
            continue;
        if (reply.name != "OK")
            RaiseServerError(StatusLine(reply));
        return;
    }
}

void TmsIMAP::ReadArrived() {
    while (LineWaiting()) {
        const ImapResponse reply = ReadResponse(mail_limits::kMaxCommandLiteralBytes);
        Note(reply);
        // The server may end the IDLE itself; it is asked for again.
        if (!reply.Untagged() && reply.tag == idleTag_)
            idleTag_.clear();
    }
    if (PeerClosed())
        RaiseClosed();
}

std::vector<ImapFolder> TmsIMAP::ListFolders() {
    std::vector<ImapFolder> folders;
    Run(ListCommand(), [&folders](const ImapResponse& reply) {
        if (auto folder = ListedFolder(reply))
            folders.push_back(std::move(*folder));
    });
    return folders;
}

std::string TmsIMAP::ListCommand() const {
    return Announces("SPECIAL-USE") ? R"(LIST "" "*" RETURN (SPECIAL-USE))" : R"(LIST "" "*")";
}

void TmsIMAP::CreateFolder(const std::string& name) {
    Run("CREATE " + FolderArgument(name));
}

void TmsIMAP::UidFetch(const std::vector<std::string>& sets, std::string_view items,
                       qint64 literalLimit, const FetchEvent& fetched) {
    std::vector<std::string> commands;
    for (const std::string& set : sets)
        commands.push_back("UID FETCH " + set + " " + std::string(items));
    Run(
        commands,
        [&fetched](const ImapResponse& reply) {
            if (const ImapValue* items = FetchedItems(reply))
                fetched(*reply.number, *items);
        },
        literalLimit);
}

void TmsIMAP::Run(const std::string& command, const UntaggedEvent& untagged) {
    Run(std::vector<std::string>{command}, untagged);
}

std::vector<std::optional<std::string>> TmsIMAP::RunAll(const std::vector<std::string>& commands,
                                                        const UntaggedEvent& untagged,
                                                        qint64 literalLimit) {
    std::vector<std::string> waiting;
    for (const std::string& command : commands) {
        waiting.push_back(NextTag());
        QueueLine(waiting.back() + " " + command);
    }
    std::vector<std::optional<std::string>> refusals(commands.size());
    const std::vector<std::string> tags = waiting;
    while (!waiting.empty()) {
        const ImapResponse reply =
            ReadResponse(literalLimit > 0 ? literalLimit : mail_limits::kMaxCommandLiteralBytes);
        Note(reply);
        if (reply.Untagged()) {
            if (untagged)
                untagged(reply);
            continue;
        }
        const auto tag = std::find(waiting.begin(), waiting.end(), reply.tag);
        if (tag == waiting.end()) {
            Close();
            RaiseError("Reply out of turn from the IMAP server: " + StatusLine(reply));
        }
        waiting.erase(tag);
        if (reply.name != "OK")
            refusals[std::find(tags.begin(), tags.end(), reply.tag) - tags.begin()] =
                StatusLine(reply);
    }
    return refusals;
}

void TmsIMAP::Run(const std::vector<std::string>& commands, const UntaggedEvent& untagged,
                  qint64 literalLimit) {
    for (const auto& refusal : RunAll(commands, untagged, literalLimit)) {
        if (refusal)
            RaiseServerError(*refusal);
    }
}

void TmsIMAP::SelectAndFetch(const std::string& folder, std::string_view items,
                             const FetchEvent& fetched) {
    uidValidity_ = exists_ = 0;
    const auto refusals = RunAll(
        {"SELECT " + FolderArgument(folder), "UID FETCH 1:* " + std::string(items)},
        [&fetched](const ImapResponse& reply) {
            if (const ImapValue* values = FetchedItems(reply))
                fetched(*reply.number, *values);
        },
        mail_limits::kMaxCommandLiteralBytes);
    if (refusals[0])
        RaiseServerError(*refusals[0]);
    // Some servers refuse "1:*" in an empty folder.
    if (refusals[1] && exists_ != 0)
        RaiseServerError(*refusals[1]);
}

ImapResponse TmsIMAP::ReadResponse(qint64 literalLimit) {
    ImapResponseText response;
    std::string line;
    for (;;) {
        ReadLine(line);
        if (!LineComplete())
            RaiseClosed();
        response.text += line;
        const auto size = TrailingLiteralSize(line);
        if (!size)
            break;
        response.literals.push_back(ReadLiteral(*size, literalLimit));
    }
    try {
        return ParseImapResponse(response);
    } catch (const EImapSyntax& error) {
        // The next reply cannot be found either: the session is over.
        Close();
        RaiseError(error.what());
    }
}

std::optional<std::string> TmsIMAP::ReadLiteral(std::uint64_t size, qint64 limit) {
    if (size > static_cast<std::uint64_t>(mail_limits::kMaxSkippedLiteralBytes)) {
        Close();
        RaiseError("The IMAP server announced " + std::to_string(size) + " bytes, more than " +
                   std::to_string(mail_limits::kMaxSkippedLiteralBytes));
    }
    const auto bytes = static_cast<qint64>(size);
    if (bytes > limit) {
        CappedBuffer dropped(0);
        dropped.open(QIODevice::WriteOnly);
        ReadExactly(dropped, bytes);
        return std::nullopt;
    }
    QByteArray data;
    data.reserve(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    ReadExactly(buffer, bytes);
    return data.toStdString();
}

void TmsIMAP::Note(const ImapResponse& response) {
    const std::string code = response.CodeName();
    if (code == "CAPABILITY") {
        capabilities_.clear();
        for (const std::string& word : response.CodeArguments())
            capabilities_.push_back(Upper(word));
    } else if (code == "ALERT" && OnAlert)
        OnAlert(*this, response.text);
    else if (code == "COPYUID" && response.CodeArguments().size() == 3)
        AddCopiedUids(response.CodeArguments()[1]);
    else if (code == "UIDVALIDITY" && !response.CodeArguments().empty())
        uidValidity_ = ParseImapNumber(response.CodeArguments()[0]).value_or(0);
    if (!response.Untagged())
        return;
    if (response.name == "CAPABILITY") {
        capabilities_.clear();
        for (const ImapValue& value : response.values)
            capabilities_.push_back(Upper(value.text));
    } else if (response.name == "EXISTS" && response.number) {
        exists_ = *response.number;
    } else if (response.name == "EXPUNGE" && exists_ > 0) {
        --exists_;
    } else if (response.name == "BYE") {
        byeText_ = response.text;
    }
}

void TmsIMAP::AddCopiedUids(const std::string& set) {
    if (!copiedUids_)
        copiedUids_.emplace();
    const auto uids = ParseUidSet(set);
    copiedUids_->insert(copiedUids_->end(), uids.begin(), uids.end());
}

std::string TmsIMAP::NextTag() {
    return "A" + std::to_string(++lastTag_);
}

void TmsIMAP::RaiseClosed() {
    Close();
    RaiseError(byeText_.empty() ? std::string(mail_texts::kServerClosed)
                                : std::string(mail_texts::kServerClosed) + ": " + byeText_);
}

void SetAccountLogin(TmsIMAP& imap, const TSievoUser& account) {
    imap.Server = account.POPAddress;
    imap.UserName = account.POPUser;
    imap.Password = account.Password;
    const auto security = ParseTlsMode(account.POPSecurity);
    if (!security)
        imap.RaiseError("POPSecurity \"" + account.POPSecurity + "\" is not NONE, SSL or STARTTLS");
    imap.Security = *security;
    imap.AllowPlainTextLogin = imap.Security == TlsMode::None && account.POPSecurityExplicit;
}

}  // namespace sievo
