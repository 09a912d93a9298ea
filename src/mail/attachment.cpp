#include "mail/attachment.h"

#include "config/text.h"
#include "mail/mail_limits.h"
#include "mail/mime_params.h"

namespace sievo {

namespace {

// Text travels readable; a mail travels as it is; everything else as base64.
TAttEncoding EncodingForType(std::string_view contentType) {
    const std::string upper = ToUpperAscii(contentType);
    if (upper == "TEXT/PLAIN" || upper == "TEXT/RTF" || upper == "TEXT/HTML") {
        return TAttEncoding::QuotedPrintable;
    }
    if (upper == "MESSAGE/RFC822")
        return TAttEncoding::SevenBit;
    return TAttEncoding::Base64;
}

}  // namespace

std::string_view EncodingName(TAttEncoding encoding) {
    switch (encoding) {
        case TAttEncoding::Base64:
            return "Base64";
        case TAttEncoding::QuotedPrintable:
            return "Quoted-Printable";
        case TAttEncoding::SevenBit:
            break;
    }
    return "7 bit";
}

void TmsAttItem::SetFileName(std::string_view fileName) {
    fileName_ = Utf8Truncate(fileName, mail_limits::kShortText);
    if (fileName_.empty())
        return;
    SetContentType(ContentTypeForFile(fileName_));
    encoding_ = EncodingForType(contentType_);
}

std::string TmsAttItem::FileNamePart() const {
    return fileName_.substr(fileName_.find_last_of("/\\") + 1);
}

void TmsAttItem::SetContentType(std::string_view contentType) {
    contentType_ = Utf8Truncate(contentType, mail_limits::kShortText);
}

}  // namespace sievo
