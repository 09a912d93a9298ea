#include "mail/ms_manage_sieve.h"

#include <QBuffer>
#include <algorithm>

#include "config/text.h"
#include "mail/imap_response.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"

namespace sievo {

namespace {

constexpr const char* kPlainTextRefused =
    "The password is not sent without TLS: choose SSL or STARTTLS for the incoming server, "
    "or write POPSecurity=NONE for the account to allow it";
constexpr const char* kLiteralTooLarge = "The ManageSieve server announced a literal too large";

// Splits a line into atoms, quoted strings (unescaped) and parenthesised codes.
void AddWords(std::string_view line, std::vector<std::string>& words) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
        } else if (line[i] == '"') {
            std::string word;
            for (++i; i < line.size() && line[i] != '"'; ++i)
                word += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
            words.push_back(word);
            ++i;
        } else {
            const char end = line[i] == '(' ? ')' : ' ';
            const std::size_t stop = std::min(line.find(end, i), line.size());
            words.emplace_back(line.substr(i, stop + (end == ')' ? 1 : 0) - i));
            i = stop + 1;
        }
    }
}

}  // namespace

TmsManageSieve::TmsManageSieve(QObject* parent) : TmsMailBase(parent) {
    Service = "sieve";
    DefaultPort = kSievePort;
    SecurePort = kSievePort;
}

int TmsManageSieve::ReplyCode(std::string_view) const {
    return 0;
}

void TmsManageSieve::Open() {
    if (UserName.empty())
        RaiseError(mail_texts::kUserNameRequired);
    if (Password.empty())
        RaiseError(mail_texts::kPasswordRequired);
    ResetState();
    TmsMailBase::Open();
}

void TmsManageSieve::Login() {
    ResetState();
    ConnectSocket();
    ReadCapabilities();
    if (Security == TlsMode::StartTls)
        StartTlsSession();
    Authenticate();
}

void TmsManageSieve::ReadCapabilities() {
    capabilities_.clear();
    extensions_.clear();
    const Response greeting = Require(ReadResponse());
    for (const auto& words : greeting.data) {
        if (words.empty())
            continue;
        capabilities_.push_back(ToUpperAscii(words[0]));
        if (capabilities_.back() == "SIEVE" && words.size() > 1)
            AddWords(words[1], extensions_);
    }
}

void TmsManageSieve::StartTlsSession() {
    if (std::find(capabilities_.begin(), capabilities_.end(), "STARTTLS") == capabilities_.end()) {
        Close();
        RaiseError(TlsFailureText("the ManageSieve server does not offer STARTTLS"));
    }
    Run("STARTTLS");
    StartTls();
    // What the server said before TLS may have been changed on the way.
    ReadCapabilities();
}

void TmsManageSieve::Authenticate() {
    if (!Encrypted() && !AllowPlainTextLogin) {
        Close();
        RaiseError(kPlainTextRefused);
    }
    const std::string credentials = std::string(1, '\0') + UserName + '\0' + Password;
    SendSecretLine("AUTHENTICATE \"PLAIN\" ",
                   "\"" + QByteArray::fromStdString(credentials).toBase64().toStdString() + "\"");
    Require(ReadResponse());
}

void TmsManageSieve::Logout() {
    Run("LOGOUT");
}

bool TmsManageSieve::HasExtension(std::string_view extension) const {
    return std::find(extensions_.begin(), extensions_.end(), extension) != extensions_.end();
}

std::optional<std::string> TmsManageSieve::ActiveScript() {
    for (const auto& words : Run("LISTSCRIPTS").data)
        if (words.size() > 1 && ToUpperAscii(words[1]) == "ACTIVE")
            return words[0];
    return std::nullopt;
}

void TmsManageSieve::CheckScript(const std::string& script) {
    Run("CHECKSCRIPT", script);
}

void TmsManageSieve::PutScript(const std::string& name, const std::string& script) {
    Run("PUTSCRIPT " + QuotedString(name), script);
}

void TmsManageSieve::SetActive(const std::string& name) {
    Run("SETACTIVE " + QuotedString(name));
}

std::vector<std::string> TmsManageSieve::ReadItems() {
    std::vector<std::string> words;
    std::string line;
    for (;;) {
        ReadLine(line);
        if (!LineComplete()) {
            Close();
            RaiseError(mail_texts::kServerClosed);
        }
        const auto length = TrailingLiteralSize(line);
        if (!length) {
            AddWords(line, words);
            return words;
        }
        if (*length > std::uint64_t(mail_limits::kMaxCommandLiteralBytes))
            RaiseError(kLiteralTooLarge);
        AddWords(std::string_view(line).substr(0, line.rfind('{')), words);
        QBuffer literal;
        literal.open(QIODevice::WriteOnly);
        ReadExactly(literal, qint64(*length));
        words.push_back(literal.data().toStdString());
    }
}

TmsManageSieve::Response TmsManageSieve::ReadResponse() {
    Response response;
    for (;;) {
        std::vector<std::string> words = ReadItems();
        const std::string status = words.empty() ? "" : ToUpperAscii(words[0]);
        if (status != "OK" && status != "NO" && status != "BYE") {
            response.data.push_back(std::move(words));
            continue;
        }
        response.status = status;
        // The text is the last word that is not the status or a response code.
        for (std::size_t i = words.size(); i-- > 1;)
            if (!words[i].starts_with('(')) {
                response.text = words[i];
                break;
            }
        return response;
    }
}

TmsManageSieve::Response TmsManageSieve::Require(Response response) {
    if (response.status == "OK")
        return response;
    if (response.status == "BYE")
        Close();
    RaiseServerError(response.text.empty() ? response.status : response.text);
}

TmsManageSieve::Response TmsManageSieve::Run(const std::string& command) {
    SendLine(command);
    return Require(ReadResponse());
}

TmsManageSieve::Response TmsManageSieve::Run(const std::string& command,
                                             const std::string& literal) {
    SendLine(command + " {" + std::to_string(literal.size()) + "+}");
    QBuffer data;
    data.setData(QByteArray::fromStdString(literal + "\r\n"));
    data.open(QIODevice::ReadOnly);
    SendStream(data);
    return Require(ReadResponse());
}

}  // namespace sievo
