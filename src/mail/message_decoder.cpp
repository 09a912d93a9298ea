#include "mail/message_decoder.h"

#include "config/text.h"
#include "mail/mail_errors.h"
#include "mail/mime_params.h"
#include "mail/transfer_codecs.h"

namespace sievo {

namespace {

constexpr const char* kAlternativePrefix = "_alt.";
constexpr const char* kAttachmentPrefix = "att.";

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string LowerField(const std::vector<std::string>& headers, std::string_view name) {
    return ToLowerAscii(GetHeaderField(headers, name));
}

// "1.0", also with a comment after it as some mailers write.
bool IsMimeVersion(std::string_view value) {
    return FirstToken(value) == "1.0";
}

std::string PartName(const std::vector<std::string>& headers) {
    std::string name = GetHeaderParam("name", GetHeaderField(headers, "CONTENT-TYPE"));
    if (name.empty()) {
        name = GetHeaderParam("filename", GetHeaderField(headers, "Content-Disposition"));
    }
    return ReceivedFileName(name);
}

// The first part is the text of the message when it is plain text and not a named file;
// otherwise it is an attachment like the rest (a message may have no text at all).
bool IsTextBody(const std::vector<std::string>& headers) {
    const std::string type = ToLowerAscii(FirstToken(GetHeaderField(headers, "CONTENT-TYPE")));
    return (type.empty() || type == "text/plain") && PartName(headers).empty();
}

PartEncoding TransferEncodingOf(const std::vector<std::string>& headers) {
    return PartEncodingOf(GetHeaderField(headers, "CONTENT-TRANSFER-ENCODING"));
}

// The line break before a boundary belongs to the boundary, not to the part.
void DropBoundaryBreak(std::vector<std::string>& lines) {
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

}  // namespace

TmsCustomDecoder::TmsCustomDecoder(TmsCustomMessage& message, std::istream& stream)
    : message_(message), reader_(stream) {}

void TmsCustomDecoder::Decode() {
    try {
        ReadHeaderBlock(messageHeaders_);
        message_.ApplyHeaders(messageHeaders_);
        if (IsMimeVersion(GetHeaderField(messageHeaders_, "MIME-VERSION"))) {
            DecodeMime();
        } else {
            DecodePlainText();
        }
    } catch (const EMessageParserError& error) {
        ApplyErrorForm(error.what());
    }
}

void TmsCustomDecoder::ReadHeaderBlock(std::vector<std::string>& lines) {
    lines.clear();
    while (true) {
        std::string line = reader_.ReadLine();
        if (reader_.Eof() || line.empty())
            return;
        if (line == TLineStream::kEndSentinel) {
            throw EMessageParserError(mail_texts::kUnableToRetrieveHeaders);
        }
        lines.push_back(std::move(line));
    }
}

void TmsCustomDecoder::ApplyErrorForm(const std::string& error) {
    auto& body = message_.Body();
    body.push_back("The following error has been occured while processing the message:");
    body.push_back(error);
    body.push_back("The original message will be stored as an attachment");
    TmsAttItem original;
    original.SetFileName("original.eml");
    original.SetContentType("message/rfc822");
    original.SetEncoding(TAttEncoding::SevenBit);
    original.Data() = reader_.ReadAll();
    message_.Attachments().Add(original);
}

std::vector<std::string> TmsCustomDecoder::ReadToEnd() {
    std::vector<std::string> lines;
    for (std::string line = reader_.ReadLine(); !reader_.Eof(); line = reader_.ReadLine()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

// Plain text; a uuencoded file in it starts the attachment section.
void TmsCustomDecoder::DecodePlainText() {
    auto& body = message_.Body();
    for (std::string line = reader_.ReadLine(); !reader_.Eof(); line = reader_.ReadLine()) {
        if (IsUuencodeBegin(line)) {
            message_.SetEncoding(meUU);
            // The empty line before "begin" separates the file from the text.
            DropBoundaryBreak(body);
            ReadUuencodedSection(std::move(line));
            return;
        }
        body.push_back(std::move(line));
    }
}

void TmsCustomDecoder::ReadUuencodedSection(std::string beginLine) {
    while (!reader_.Eof() && IsUuencodeBegin(beginLine)) {
        TmsAttItem item;
        std::string name = ReceivedFileName(UuencodeFileName(beginLine));
        if (name.empty())
            name = kAttachmentPrefix + std::to_string(message_.Attachments().Count());
        item.SetFileName(name);
        for (std::string line = reader_.ReadLine(); !reader_.Eof(); line = reader_.ReadLine()) {
            if (line == "`" || ToUpperAscii(line) == "END")
                break;
            item.Data() += UudecodeLine(line);
        }
        message_.Attachments().Add(item);
        do {
            beginLine = reader_.ReadLine();
        } while (!reader_.Eof() && !IsUuencodeBegin(beginLine));
    }
}

void TmsCustomDecoder::DecodeMime() {
    const std::string contentType = GetHeaderField(messageHeaders_, "CONTENT-TYPE");
    const std::string lower = ToLowerAscii(contentType);
    if (Contains(lower, "multipart/alternative")) {
        alternativeMessage_ = true;
        DecodeMultipart(contentType);
    } else if (Contains(lower, "multipart")) {
        DecodeMultipart(contentType);
    } else if ((!lower.empty() && !Contains(lower, "text/")) ||
               !GetHeaderParam("name", contentType).empty()) {
        AddAttachment(messageHeaders_, ReadToEnd(), kAttachmentPrefix);
    } else {
        DecodeSinglePartText(contentType);
    }
}

void TmsCustomDecoder::DecodeSinglePartText(const std::string& contentType) {
    const std::string type = ToLowerAscii(FirstToken(contentType));
    if (type == "text/html" || type == "text/rtf")
        message_.SetContentType(type);
    const std::vector<std::string> lines = ReadToEnd();
    const PartEncoding encoding = TransferEncodingOf(messageHeaders_);
    if (encoding == PartEncoding::QuotedPrintable)
        message_.SetCharSet(csISO8859);
    if (encoding == PartEncoding::Plain) {
        for (const auto& line : lines) {
            if (IsUuencodeBegin(line))
                return RestartAsPlainText();
        }
    }
    DecodeTextBody(messageHeaders_, lines);
}

// A plain MIME text that carries a uuencoded file is read again as plain text; its MIME
// fields no longer describe what the message holds.
void TmsCustomDecoder::RestartAsPlainText() {
    reader_.Reset();
    std::vector<std::string> skipped;
    ReadHeaderBlock(skipped);
    for (const char* field : {"MIME-VERSION", "CONTENT-TYPE", "CONTENT-TRANSFER-ENCODING"}) {
        DeleteHeaderField(message_.Headers(), field);
    }
    message_.Body().clear();
    DecodePlainText();
}

void TmsCustomDecoder::DecodeTextBody(const std::vector<std::string>& headers,
                                      const std::vector<std::string>& lines) {
    message_.SetBodyCharset(GetHeaderParam("charset", GetHeaderField(headers, "CONTENT-TYPE")));
    const PartEncoding encoding = TransferEncodingOf(headers);
    if (encoding == PartEncoding::Plain) {
        message_.Body() = lines;
    } else {
        message_.Body() = SplitLines(DecodePartLines(lines, encoding));
    }
}

void TmsCustomDecoder::AddAttachment(const std::vector<std::string>& headers,
                                     const std::vector<std::string>& lines,
                                     const std::string& unnamedPrefix) {
    const std::string contentType = GetHeaderField(headers, "CONTENT-TYPE");
    if (contentType.empty())
        throw EMessageParserError(mail_texts::kMissingContentType);
    std::string name = PartName(headers);
    if (name.empty())
        name = unnamedPrefix + std::to_string(message_.Attachments().Count());
    const PartEncoding encoding = TransferEncodingOf(headers);
    TmsAttItem item;
    item.SetFileName(name);
    item.SetContentType(FirstToken(contentType));
    item.SetCharset(GetHeaderParam("charset", contentType));
    item.SetEncoding(AttEncodingOf(encoding));
    item.Data() = DecodePartLines(lines, encoding);
    message_.Attachments().Add(item);
}

TmsCustomDecoder::BoundaryLine TmsCustomDecoder::ClassifyBoundary(std::string_view line) const {
    const std::string_view text = WithoutTrailingBlanks(line);
    if (!text.starts_with(boundary_))
        return BoundaryLine::None;
    const std::string_view rest = text.substr(boundary_.size());
    if (rest.empty())
        return BoundaryLine::Next;
    return rest == "--" ? BoundaryLine::Close : BoundaryLine::None;
}

void TmsCustomDecoder::SkipToBoundary() {
    while (true) {
        const std::string line = reader_.ReadLine();
        if (reader_.Eof())
            throw EMessageParserError(mail_texts::kNoBoundary);
        if (ClassifyBoundary(line) == BoundaryLine::Next)
            return;
    }
}

TmsCustomDecoder::PartLines TmsCustomDecoder::ReadPartLines() {
    PartLines part;
    while (true) {
        std::string line = reader_.ReadLine();
        if (reader_.Eof())
            throw EMessageParserError(mail_texts::kNoClosingBoundary);
        part.end = ClassifyBoundary(line);
        if (part.end != BoundaryLine::None)
            break;
        part.lines.push_back(std::move(line));
    }
    DropBoundaryBreak(part.lines);
    return part;
}

void TmsCustomDecoder::OpenAlternativeGroup() {
    const std::string inner =
        GetHeaderParam("boundary", GetHeaderField(partHeaders_, "CONTENT-TYPE"));
    if (inner.empty())
        throw EMessageParserError(mail_texts::kNoBoundary);
    outerBoundary_ = boundary_;
    boundary_ = "--" + inner;
    inAlternativeGroup_ = true;
    SkipToBoundary();
    ReadHeaderBlock(partHeaders_);
}

// After a closing boundary line: the end of the message, or of the alternative group,
// after which the outer parts follow.
TmsCustomDecoder::BoundaryLine TmsCustomDecoder::CloseLevel() {
    if (!inAlternativeGroup_)
        return BoundaryLine::Close;
    boundary_ = outerBoundary_;
    inAlternativeGroup_ = false;
    while (true) {
        const std::string line = reader_.ReadLine();
        if (reader_.Eof())
            throw EMessageParserError(mail_texts::kNoClosingBoundary);
        if (const BoundaryLine kind = ClassifyBoundary(line); kind != BoundaryLine::None) {
            return kind;
        }
    }
}

void TmsCustomDecoder::DecodeMultipart(const std::string& contentType) {
    const std::string boundary = GetHeaderParam("boundary", contentType);
    if (boundary.empty())
        throw EMessageParserError(mail_texts::kNoBoundary);
    boundary_ = "--" + boundary;
    SkipToBoundary();
    ReadHeaderBlock(partHeaders_);
    if (Contains(LowerField(partHeaders_, "CONTENT-TYPE"), "multipart/alternative")) {
        OpenAlternativeGroup();
    }
    bool firstPart = true;
    while (true) {
        PartLines part = ReadPartLines();
        if (firstPart && IsTextBody(partHeaders_)) {
            DecodeTextBody(partHeaders_, part.lines);
        } else {
            const bool alternative = alternativeMessage_ || inAlternativeGroup_;
            AddAttachment(partHeaders_, part.lines,
                          alternative ? kAlternativePrefix : kAttachmentPrefix);
        }
        firstPart = false;
        if (part.end == BoundaryLine::Close && CloseLevel() == BoundaryLine::Close)
            return;
        ReadHeaderBlock(partHeaders_);
    }
}

}  // namespace sievo
