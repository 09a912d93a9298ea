#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "mail/message.h"

namespace sievo {

// Writes a message as a complete mail text (RFC 822 header block, then a plain, MIME or
// uuencoded body), every line ended by CR LF.
class TmsCustomEncoder {
public:
    // Prepares the body: a line of a single dot becomes two dots in the message itself,
    // so that no transport takes it for the end of the data.
    TmsCustomEncoder(TmsCustomMessage& message, std::ostream& stream);
    virtual ~TmsCustomEncoder() = default;

    // Writes the whole message at the stream's current position.
    void Encode();
    void WriteLine(std::string_view text);

protected:
    virtual void WriteHeaderBlock() = 0;
    // A header line whose values can never break into a second line.
    void WriteHeaderLine(std::string_view text);
    // The message's own header lines, less the fields the encoder writes itself.
    void WriteKeptHeaders();
    void WriteSubjectAndMimeVersion();

    TmsCustomMessage& Message() { return message_; }

private:
    void WritePlainForm(std::string_view contentType);
    void WritePlainPartHeaders(std::string_view contentType);
    void WritePlainBody();
    bool PlainIsQuotedPrintable() const;
    void WriteSinglePartForm();
    void WriteMultipartForm(const std::string& contentType);
    void WriteAttachmentPart(const TmsAttItem& item, bool ordinary);
    void WriteUuencodeForm();
    void WriteAttachmentData(const TmsAttItem& item);

    TmsCustomMessage& message_;
    std::ostream& stream_;
    bool longLines_ = false;
};

class TmsMessageEncoder : public TmsCustomEncoder {
public:
    TmsMessageEncoder(TmsMessage& message, std::ostream& stream)
        : TmsCustomEncoder(message, stream), message_(message) {}

private:
    void WriteHeaderBlock() override;
    void WriteAddressField(std::string_view label, const TmsAddressList& list);

    TmsMessage& message_;
};

// A fresh multipart boundary: 8 random digits from 0 to 8.
std::string NewBoundary();

}  // namespace sievo
