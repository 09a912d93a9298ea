#pragma once

#include <istream>
#include <string>
#include <vector>

#include "mail/header_fields.h"
#include "mail/line_stream.h"
#include "mail/message.h"
#include "mail/part_content.h"

namespace sievo {

// Reads one mail text into a message: header fields, plain-text body and attachments.
// A text whose structure it cannot follow is never lost: the message then shows why and
// carries the whole text as the attachment "original.eml".
class TmsCustomDecoder {
public:
    TmsCustomDecoder(TmsCustomMessage& message, std::istream& stream);
    virtual ~TmsCustomDecoder() = default;

    // Fills the message (cleared by the caller). Broken base64 or uuencode lines, bad
    // quoted-printable escapes and a malformed From raise and leave what was filled.
    void Decode();
    // Reads lines up to the empty line that ends a header block, or the end of the data.
    void ReadHeaderBlock(std::vector<std::string>& lines);

private:
    enum class BoundaryLine { None, Next, Close };
    struct PartLines {
        std::vector<std::string> lines;
        BoundaryLine end = BoundaryLine::None;
    };

    void DecodeMime();
    void DecodePlainText();
    void ReadUuencodedSection(std::string beginLine);
    void DecodeSinglePartText(const std::string& contentType);
    void RestartAsPlainText();
    void DecodeMultipart(const std::string& contentType);
    void OpenAlternativeGroup();
    BoundaryLine CloseLevel();
    void DecodeTextBody(const std::vector<std::string>& headers,
                        const std::vector<std::string>& lines);
    void AddAttachment(const std::vector<std::string>& headers,
                       const std::vector<std::string>& lines, const std::string& unnamedPrefix);
    void ApplyErrorForm(const std::string& error);

    std::vector<std::string> ReadToEnd();
    BoundaryLine ClassifyBoundary(std::string_view line) const;
    void SkipToBoundary();
    PartLines ReadPartLines();

    TmsCustomMessage& message_;
    TLineStream reader_;
    TmsHeaders messageHeaders_;
    TmsHeaders partHeaders_;
    std::string boundary_;
    std::string outerBoundary_;
    bool inAlternativeGroup_ = false;
    bool alternativeMessage_ = false;
};

class TmsMessageDecoder : public TmsCustomDecoder {
public:
    TmsMessageDecoder(TmsMessage& message, std::istream& stream)
        : TmsCustomDecoder(message, stream) {}
};

}  // namespace sievo
