#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPushButton>
#include <QUrl>
#include <memory>
#include <sstream>

#include "mail/message.h"
#include "ui/preview/message_view_window.h"
#include "ui/preview/readable_body.h"

namespace sievo::testing {
namespace {

std::unique_ptr<TmsMessage> MessageFrom(const std::string& text) {
    auto message = std::make_unique<TmsMessage>();
    std::istringstream stream(text);
    message->LoadFromStream(stream);
    return message;
}

struct BodyCase {
    const char* name;
    std::string text;
    QString shown;
};

class ReadableBodyTest : public ::testing::TestWithParam<BodyCase> {};

TEST_P(ReadableBodyTest, ShowsTheTextInUtf8) {
    EXPECT_EQ(ReadableBody(*MessageFrom(GetParam().text)), GetParam().shown);
}

const std::string kMime = "From: a@b.org\r\nMIME-Version: 1.0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Messages, ReadableBodyTest,
    ::testing::Values(
        BodyCase{
            "DeclaredCharset",
            kMime + "Content-Type: text/plain; charset=\"windows-1252\"\r\n\r\nCaf\xE9 \x80 5\r\n",
            QString("Caf\u00e9 \u20ac 5")},
        BodyCase{"HtmlBodyAsText",
                 kMime + "Content-Type: text/html; charset=iso-8859-1\r\n\r\n"
                         "<html><head><style>p { color: red }</style></head>\r\n"
                         "<body><p>Caf\xE9 &amp; more</p><img src=\"http://tracker.test/p.gif\">"
                         "</body></html>\r\n",
                 QString("Caf\u00e9 & more")},
        BodyCase{"HtmlOnlyAlternative",
                 kMime + "Content-Type: multipart/alternative; boundary=\"b\"\r\n\r\n--b\r\n"
                         "Content-Type: text/html; charset=iso-8859-15\r\n"
                         "Content-Transfer-Encoding: base64\r\n\r\n"
                         "PHA+pDwvcD4=\r\n--b--\r\n",
                 QString("\u20ac")}),
    [](const auto& info) { return info.param.name; });

// Catches the addresses Reply hands to the desktop.
class OpenedAddresses : public QObject {
    Q_OBJECT
public:
    OpenedAddresses() { QDesktopServices::setUrlHandler("mailto", this, "Open"); }
    ~OpenedAddresses() override { QDesktopServices::unsetUrlHandler("mailto"); }
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

TEST(MessageViewTest, ReplyWritesToTheSenderAlone) {
    const struct {
        const char* from;
        const char* path;
    } cases[] = {
        {"Ann <ann@example.org>", "ann@example.org"},
        // A forged address must not add recipients, text or files to the reply.
        {"\"x\" <ann@example.org?attach=/etc/passwd&cc=x@y.test>",
         "ann@example.org?attach=/etc/passwd&cc=x@y.test"},
        {"ann@example.org#body=x", "ann@example.org#body=x"},
    };
    TfrmMessageView viewer;
    for (const auto& row : cases) {
        OpenedAddresses opened;
        viewer.ShowMessage(*MessageFrom(std::string("From: ") + row.from + "\r\n\r\nhi\r\n"),
                           TfrmMessageView::Heads::Bare);
        viewer.findChild<QPushButton*>("btnReply")->click();
        QUrl alone;  // no query, no fragment
        alone.setScheme("mailto");
        alone.setPath(row.path, QUrl::DecodedMode);
        EXPECT_EQ(opened.urls, QList<QUrl>{alone}) << row.from;
    }
}

}  // namespace
}  // namespace sievo::testing

#include "message_view_test.moc"
