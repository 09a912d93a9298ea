#pragma once

#include <string>

#include "config/errors.h"

namespace sievo {

// A message that cannot be sent or saved as it stands (missing sender or recipients).
class EMessageError : public Exception {
public:
    using Exception::Exception;
};

// The decoder could not follow the structure of a received message; the decoder turns it
// into the error form, so it never reaches the caller of LoadFromStream.
class EMessageParserError : public Exception {
public:
    using Exception::Exception;
};

// A retrieved message that could not be written to its file (a full or read-only disk);
// the session itself is still in step.
class EMessageNotStored : public Exception {
public:
    using Exception::Exception;
};

// An IMAP response that does not follow the protocol's grammar.
class EImapSyntax : public Exception {
public:
    using Exception::Exception;
};

namespace mail_texts {
inline constexpr const char* kUnableToRetrieveHeaders = "Unable to retrieve headers";
inline constexpr const char* kMissingContentType = "Missing required field: Content-Type";
inline constexpr const char* kNoClosingBoundary = "Cannot find closing boundary";
inline constexpr const char* kNoBoundary = "Cannot find boundary";
inline constexpr const char* kInvalidCharacter = "Invalid Character";
inline constexpr const char* kParagraphTooLarge = "Paragraph is too large";
inline constexpr const char* kUnparsableAddress = "Unable to parse email address";
inline constexpr const char* kSenderRequired = "The address of sender is required";
inline constexpr const char* kRecipientRequired =
    "At least one Recipient, CC or BCC must be entered";

// Texts of the POP3 and SMTP clients.
inline constexpr const char* kUserNameRequired = "UserName property is required";
inline constexpr const char* kPasswordRequired = "Password property is required";
inline constexpr const char* kIdsAreDifferent = "IDs are different";
inline constexpr const char* kMailMessageRequired = "MailMessage property must be assigned";
inline constexpr const char* kServerClosed = "The server closed the connection";
inline constexpr const char* kLineBreakInField = " must not hold a line break";
}  // namespace mail_texts

}  // namespace sievo
