#include "mail/message_encoder.h"

#include <algorithm>
#include <random>

#include "config/text.h"
#include "mail/mail_limits.h"
#include "mail/transfer_codecs.h"

namespace sievo {

namespace {

// Labels of the address fields are padded to this column.
constexpr std::size_t kLabelColumn = 10;

// The fields the encoder writes from the message's own properties. Content-Disposition
// belongs here too: a message read as a single attachment keeps it among its headers,
// and the single-part form writes its own.
constexpr const char* kFieldsWrittenByEncoder[] = {"From",
                                                   "To",
                                                   "CC",
                                                   "BCC",
                                                   "Return-Receipt-To",
                                                   "X-Priority",
                                                   "Subject",
                                                   "Mime-Version",
                                                   "Content-Type",
                                                   "X-Encoding",
                                                   "Content-Transfer-Encoding",
                                                   "Content-Disposition"};

std::string Lower(std::string_view text) {
    return ToLowerAscii(text);
}

bool IsAlternativeFile(const TmsAttItem& item) {
    return Lower(item.FileNamePart()).starts_with("_alt.");
}

// The HTML or RTF body carried as an attachment: its part has no file name.
bool IsBodyFile(const TmsAttItem& item) {
    const std::string name = Lower(item.FileNamePart());
    return name == "_htmbody.htm" || name == "_rtfbody.rtf";
}

// Built by appending: GCC 12 at -O3 sees a possible overlap in "\"" + text + "\"" that
// cannot happen and warns (-Wrestrict).
std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '"').append(text).append(1, '"');
    return quoted;
}

// A name with a dot must be quoted to be one word; one that holds a quote is left alone.
std::string FormatName(std::string_view name) {
    if (name.find('.') != std::string_view::npos && name.find('"') == std::string_view::npos) {
        return Quoted(name);
    }
    return std::string(name);
}

std::string FormatEntry(const TmsMailAddress& address) {
    return FormatName(address.Name()) + " <" + address.Address() + ">";
}

std::string PadLabel(std::string_view label) {
    std::string padded(label);
    padded.resize(std::max(kLabelColumn, padded.size()), ' ');
    return padded;
}

}  // namespace

std::string NewBoundary() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> digit(0, 8);
    std::string boundary;
    for (std::size_t i = 0; i < mail_limits::kBoundaryDigits; ++i) {
        boundary += static_cast<char>('0' + digit(generator));
    }
    return boundary;
}

TmsCustomEncoder::TmsCustomEncoder(TmsCustomMessage& message, std::ostream& stream)
    : message_(message), stream_(stream) {
    for (auto& line : message_.Body()) {
        if (line.size() > mail_limits::kShortText)
            longLines_ = true;
        if (line == ".")
            line = "..";
    }
}

void TmsCustomEncoder::WriteLine(std::string_view text) {
    stream_.write(text.data(), static_cast<std::streamsize>(text.size()));
    stream_.write("\r\n", 2);
}

void TmsCustomEncoder::WriteHeaderLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    WriteLine(line);
}

void TmsCustomEncoder::WriteKeptHeaders() {
    TmsHeaders kept = message_.Headers();
    for (const char* field : kFieldsWrittenByEncoder)
        DeleteHeaderField(kept, field);
    for (const auto& line : kept)
        WriteHeaderLine(line);
}

void TmsCustomEncoder::WriteSubjectAndMimeVersion() {
    if (!message_.Subject().empty())
        WriteHeaderLine("Subject:  " + message_.Subject());
    if (message_.Encoding() == meMIME)
        WriteLine("Mime-Version: 1.0");
}

void TmsCustomEncoder::Encode() {
    WriteHeaderBlock();
    if (message_.Encoding() == meUU)
        return WriteUuencodeForm();
    const std::string contentType = message_.ContentType();
    if (contentType == "multipart/mixed" || contentType == "multipart/alternative") {
        return WriteMultipartForm(contentType);
    }
    // Without attachments the body is the message: plain text, or a text body of another
    // type (HTML read from a received message) written as a plain part of its own type.
    if (message_.Attachments().Empty())
        return WritePlainForm(contentType);
    WriteSinglePartForm();
}

bool TmsCustomEncoder::PlainIsQuotedPrintable() const {
    return message_.CharSet() == csISO8859 || longLines_;
}

void TmsCustomEncoder::WritePlainPartHeaders(std::string_view contentType) {
    const char* charset = message_.CharSet() == csISO8859 ? "iso-8859-1" : "us-ascii";
    WriteLine("Content-Type: " + std::string(contentType) + "; charset=" + Quoted(charset));
    WriteLine(PlainIsQuotedPrintable() ? "Content-Transfer-Encoding: quoted-printable"
                                       : "Content-Transfer-Encoding: 7bit");
}

void TmsCustomEncoder::WritePlainBody() {
    if (!PlainIsQuotedPrintable()) {
        for (const auto& line : message_.Body())
            WriteLine(line);
        return;
    }
    for (const auto& line : EncodeQuotedPrintable(JoinLinesCrLf(message_.Body())))
        WriteLine(line);
}

void TmsCustomEncoder::WritePlainForm(std::string_view contentType) {
    WritePlainPartHeaders(contentType);
    WriteLine("");
    WritePlainBody();
}

void TmsCustomEncoder::WriteSinglePartForm() {
    const TmsAttItem& item = message_.Attachments()[0];
    const std::string name = Lower(item.FileNamePart());
    if (name == "_htmbody.htm") {
        WriteLine("Content-Type: text/html");
    } else if (name == "_rtfbody.rtf") {
        WriteLine("Content-Type: text/rtf");
    } else {
        WriteHeaderLine("Content-Type: " + item.ContentType() +
                        "; name=" + Quoted(item.FileNamePart()));
    }
    WriteLine("Content-Transfer-Encoding: " + std::string(EncodingName(item.Encoding())));
    if (!IsBodyFile(item)) {
        WriteHeaderLine("Content-Disposition: attachment; filename=" + Quoted(item.FileNamePart()));
    }
    WriteLine("");
    WriteAttachmentData(item);
}

void TmsCustomEncoder::WriteAttachmentPart(const TmsAttItem& item, bool ordinary) {
    std::string typeLine = "Content-Type: " + item.ContentType();
    if (ordinary)
        typeLine += "; name=" + Quoted(item.FileNamePart());
    WriteHeaderLine(typeLine);
    WriteLine("Content-Transfer-Encoding: " + std::string(EncodingName(item.Encoding())));
    if (ordinary) {
        WriteHeaderLine("Content-Disposition: attachment; filename=" + Quoted(item.FileNamePart()));
    }
    WriteLine("");
    WriteAttachmentData(item);
    WriteLine("");
}

// Every part ends with one empty line before the next boundary line; that line break
// belongs to the boundary, so the reader gets back exactly what was written.
void TmsCustomEncoder::WriteMultipartForm(const std::string& contentType) {
    const bool alternativeMode = contentType == "multipart/alternative";
    const TmsAttList& attachments = message_.Attachments();
    const std::string outer = NewBoundary();
    std::string current = outer;
    WriteLine("Content-Type: " + contentType + "; boundary=" + Quoted(outer));
    WriteLine("");
    WriteLine("This is a multipart message in MIME format");
    WriteLine("");
    WriteLine("--" + outer);
    bool inGroup = !alternativeMode && !attachments.Empty() && IsAlternativeFile(attachments[0]);
    if (inGroup) {
        current = NewBoundary();
        WriteLine("Content-Type:  multipart/alternative; boundary=" + Quoted(current));
        WriteLine("Content-Transfer-Encoding: 7bit");
        WriteLine("");
        WriteLine("--" + current);
    }
    if (!message_.Body().empty()) {
        WritePlainPartHeaders("text/plain");
        WriteLine("");
        WritePlainBody();
        WriteLine("");
        WriteLine("--" + current);
    }
    for (int i = 0; i < attachments.Count(); ++i) {
        if (i > 0)
            WriteLine("--" + current);
        const TmsAttItem& item = attachments[i];
        WriteAttachmentPart(item, !alternativeMode && !inGroup && !IsBodyFile(item));
        const bool groupEnds =
            i + 1 == attachments.Count() || !IsAlternativeFile(attachments[i + 1]);
        if (inGroup && groupEnds) {
            WriteLine("--" + current + "--");
            current = outer;
            inGroup = false;
        }
    }
    WriteLine("--" + current + "--");
}

void TmsCustomEncoder::WriteUuencodeForm() {
    WriteLine("");
    for (const auto& line : message_.Body())
        WriteLine(line);
    for (const TmsAttItem& item : message_.Attachments()) {
        WriteLine("");
        WriteHeaderLine("begin 600 " + item.FileNamePart());
        const std::string_view data = item.Data();
        for (std::size_t at = 0; at < data.size(); at += mail_limits::kUuencodeGroupBytes) {
            WriteLine(UuencodeLine(data.substr(at, mail_limits::kUuencodeGroupBytes)));
        }
        WriteLine("`");
        WriteLine("end");
    }
}

void TmsCustomEncoder::WriteAttachmentData(const TmsAttItem& item) {
    const std::string_view data = item.Data();
    switch (item.Encoding()) {
        case TAttEncoding::Base64:
            for (std::size_t at = 0; at < data.size(); at += mail_limits::kBase64GroupBytes) {
                WriteLine(EncodeBase64(data.substr(at, mail_limits::kBase64GroupBytes)));
            }
            return;
        case TAttEncoding::QuotedPrintable:
            for (const auto& line : EncodeQuotedPrintable(data))
                WriteLine(line);
            return;
        case TAttEncoding::SevenBit:
            for (const auto& line : SplitLines(data))
                WriteLine(line);
            return;
    }
}

void TmsMessageEncoder::WriteAddressField(std::string_view label, const TmsAddressList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        const std::string lead = i == 0 ? PadLabel(label) : std::string(kLabelColumn, ' ');
        WriteHeaderLine(lead + FormatEntry(list[i]) + (i + 1 < list.Count() ? "," : ""));
    }
}

void TmsMessageEncoder::WriteHeaderBlock() {
    WriteHeaderLine("From:     " + FormatEntry(message_.Sender()));
    WriteAddressField("To:", message_.Recipients());
    WriteAddressField("CC:", message_.CC());
    if (message_.ReturnReceipt()) {
        WriteHeaderLine("Return-Receipt-To: <" + message_.Sender().Address() + ">");
    }
    if (message_.Priority() == ptLow)
        WriteLine("X-Priority: 5");
    if (message_.Priority() == ptHigh)
        WriteLine("X-Priority: 1");
    WriteKeptHeaders();
    WriteSubjectAndMimeVersion();
}

}  // namespace sievo
