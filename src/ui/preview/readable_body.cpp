#include "ui/preview/readable_body.h"

#include <QTextDocumentFragment>

#include "config/text.h"
#include "mail/charset.h"
#include "mail/message.h"
#include "mail/mime_params.h"

namespace sievo {

namespace {

bool IsHtml(std::string_view contentType) {
    return ToLowerAscii(FirstToken(contentType)) == "text/html";
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

QString HtmlAsText(const std::string& html) {
    QString text = QTextDocumentFragment::fromHtml(QString::fromStdString(html)).toPlainText();
    // Pictures leave a placeholder character each; they are not shown.
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

}  // namespace

QString ReadableBody(const TmsCustomMessage& message) {
    if (!message.Body().empty()) {
        const std::string text = ConvertToUtf8(JoinLines(message.Body()), message.BodyCharset());
        return IsHtml(message.ContentType()) ? HtmlAsText(text) : QString::fromStdString(text);
    }
    for (const TmsAttItem& part : message.Attachments())
        if (IsHtml(part.ContentType()))
            return HtmlAsText(ConvertToUtf8(part.Data(), part.Charset()));
    return {};
}

}  // namespace sievo
