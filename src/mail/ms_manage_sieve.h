#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/ms_mail_base.h"

namespace sievo {

// The ManageSieve commands (RFC 5804) that install a script: log-in over TLS with
// AUTHENTICATE PLAIN, LISTSCRIPTS, CHECKSCRIPT, PUTSCRIPT and SETACTIVE. A refusal raises
// EServerError with the server's own text (for a script, the line it stumbled on).
class TmsManageSieve : public TmsMailBase {
public:
    static constexpr std::uint16_t kSievePort = 4190;

    explicit TmsManageSieve(QObject* parent = nullptr);

    std::string UserName;
    std::string Password;
    // True: the password may be sent without TLS (the account asks for no security by name).
    bool AllowPlainTextLogin = false;

    // Status lines are told apart by their words, not by codes.
    int ReplyCode(std::string_view line) const override;
    void Open() override;
    // Greeting, STARTTLS when asked for, AUTHENTICATE PLAIN.
    void Login() override;
    void Logout() override;

    // Whether the server's SIEVE capability names the extension.
    bool HasExtension(std::string_view extension) const;
    // The name of the active script; nothing when none is active.
    std::optional<std::string> ActiveScript();
    void CheckScript(const std::string& script);
    void PutScript(const std::string& name, const std::string& script);
    void SetActive(const std::string& name);

private:
    // One response: the data lines before it (each a list of strings and atoms), its
    // status word (OK, NO or BYE) and its human-readable text.
    struct Response {
        std::vector<std::vector<std::string>> data;
        std::string status;
        std::string text;
    };

    Response ReadResponse();
    // Reads one line, with the literals it announces, as its words.
    std::vector<std::string> ReadItems();
    // Sends the command and reads its response; a refusal raises.
    Response Run(const std::string& command);
    Response Run(const std::string& command, const std::string& literal);
    Response Require(Response response);
    void ReadCapabilities();
    void StartTlsSession();
    void Authenticate();

    std::vector<std::string> capabilities_;  // names in upper case
    std::vector<std::string> extensions_;
};

}  // namespace sievo
