#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "mail/attachment.h"
#include "mail/header_fields.h"
#include "mail/mail_address.h"

namespace sievo {

// How attachments travel when the message is written: as MIME parts or uuencoded.
enum TMsgEncoding { meMIME, meUU };
// The charset announced for plain text parts.
enum TCharSet { csUSASCII, csISO8859 };
enum TPriority { ptLow, ptNormal, ptHigh };

// What every message has: sender, subject, body, attachments and the raw header lines.
class TmsCustomMessage {
public:
    TmsCustomMessage() = default;
    virtual ~TmsCustomMessage() = default;
    TmsCustomMessage(const TmsCustomMessage&) = delete;
    TmsCustomMessage& operator=(const TmsCustomMessage&) = delete;

    const TmsAttList& Attachments() const { return attachments_; }
    TmsAttList& Attachments() { return attachments_; }
    // The type the message is written with, computed from body and attachments (the
    // stored value only decides for a plain body); the result is also stored.
    std::string ContentType() const;
    void SetContentType(std::string_view contentType);

    TMsgEncoding Encoding() const { return encoding_; }
    void SetEncoding(TMsgEncoding encoding) { encoding_ = encoding; }
    const TmsMailAddress& Sender() const { return sender_; }
    TmsMailAddress& Sender() { return sender_; }
    const std::string& Subject() const { return subject_; }
    void SetSubject(std::string_view subject);
    TCharSet CharSet() const { return charSet_; }
    void SetCharSet(TCharSet charSet) { charSet_ = charSet; }
    const TmsHeaders& Headers() const { return headers_; }
    TmsHeaders& Headers() { return headers_; }
    void SetHeaders(const TmsHeaders& headers) { headers_ = headers; }
    const std::vector<std::string>& Body() const { return body_; }
    std::vector<std::string>& Body() { return body_; }
    // The charset the text of the body was declared in; empty when none was named.
    const std::string& BodyCharset() const { return bodyCharset_; }
    void SetBodyCharset(std::string_view charset) { bodyCharset_ = charset; }

    // Raises EMessageError when the message cannot be sent as it stands.
    virtual void CheckRequired() const;
    // Writes the complete mail text.
    virtual void SaveToStream(std::ostream& stream) = 0;
    // Fills the message from a mail text; the message should be cleared first.
    virtual void LoadFromStream(std::istream& stream) = 0;
    virtual void Clear();
    // Fills the fields from raw header lines; a malformed From raises.
    virtual void ApplyHeaders(const std::vector<std::string>& lines);

    // Writes the mail text to the file, replacing it only once all of it is written.
    void SaveToFile(const std::string& fileName);
    // Clears the message and reads it from the file.
    void LoadFromFile(const std::string& fileName);

private:
    std::string ComputeContentType() const;

    TmsAttList attachments_;
    mutable std::string contentType_;
    TMsgEncoding encoding_ = meMIME;
    TmsMailAddress sender_;
    std::string subject_;
    TCharSet charSet_ = csUSASCII;
    TmsHeaders headers_;
    std::vector<std::string> body_;
    std::string bodyCharset_;
};

// A mail message: adds recipients, copies, priority and the receipt request.
class TmsMessage : public TmsCustomMessage {
public:
    TmsAddressList& Recipients() { return recipients_; }
    const TmsAddressList& Recipients() const { return recipients_; }
    bool ReturnReceipt() const { return returnReceipt_; }
    void SetReturnReceipt(bool returnReceipt) { returnReceipt_ = returnReceipt; }
    TPriority Priority() const { return priority_; }
    void SetPriority(TPriority priority) { priority_ = priority; }
    TmsAddressList& CC() { return cc_; }
    const TmsAddressList& CC() const { return cc_; }
    TmsAddressList& BCC() { return bcc_; }
    const TmsAddressList& BCC() const { return bcc_; }

    void CheckRequired() const override;
    void SaveToStream(std::ostream& stream) override;
    void LoadFromStream(std::istream& stream) override;
    void Clear() override;
    void ApplyHeaders(const std::vector<std::string>& lines) override;

private:
    TmsAddressList recipients_;
    bool returnReceipt_ = false;
    TPriority priority_ = ptNormal;
    TmsAddressList cc_;
    TmsAddressList bcc_;
};

}  // namespace sievo
