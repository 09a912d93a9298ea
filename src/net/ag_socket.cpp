#include "net/ag_socket.h"

#include <QHostInfo>
#include <QIODevice>
#include <QSslError>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "net/event_pump.h"
#include "net/net_errors.h"
#include "net/server_address.h"
#include "net/socket_error_text.h"
#include "net/terminator_scanner.h"

namespace sievo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBodySuppressed = "Suppressing the message body";
constexpr std::size_t kReplyCodeDigits = 3;
constexpr int kFullPercent = 100;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The first IPv4 address when there is one: servers are most often reached over IPv4,
// and a name like "localhost" may list ::1 first while the server listens on 127.0.0.1.
QHostAddress PreferredAddress(const QList<QHostAddress>& addresses) {
    const auto v4 = std::find_if(addresses.begin(), addresses.end(), [](const QHostAddress& a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol;
    });
    return v4 != addresses.end() ? *v4 : addresses.value(0);
}

// Zero bytes become blanks, so text functions further on never stop short of the end.
void BlankZeroBytes(QByteArray& data) {
    data.replace('\0', ' ');
}

}  // namespace

TagSocket::ReplyDeadline::ReplyDeadline(TagSocket& socket, qint64 size)
    : socket_(socket), outermost_(!socket.replyDeadline_) {
    if (!outermost_)
        return;
    constexpr qint64 kMsPerSecond = 1000;
    // In milliseconds, which no size can make overflow.
    const qint64 extraMs = std::max<qint64>(size, 0) / kReplyBytesPerExtraSecond * kMsPerSecond;
    socket_.replyDeadline_.emplace(socket_.TimeOut() * kMsPerSecond + extraMs);
}

TagSocket::ReplyDeadline::~ReplyDeadline() {
    if (outermost_)
        socket_.replyDeadline_.reset();
}

TagSocket::TagSocket(QObject* parent) : QObject(parent) {}

TagSocket::~TagSocket() {
    AbortLookup();
    DropSocket();
    if (transcript_.Enabled() && !transcript_.Save()) {
        qWarning("Cannot write the transcript to %s", transcript_.fileName.c_str());
    }
}

void TagSocket::ResetState() {
    canceled_ = false;
    counter_.ClearTimedOut();
    AbortLookup();
    errorFlag_ = false;
    hostResolved_ = connected_ = closed_ = false;
}

int TagSocket::ReplyCode(std::string_view line) const {
    if (line.size() < kReplyCodeDigits)
        return -1;
    int code = 0;
    for (std::size_t i = 0; i < kReplyCodeDigits; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return -1;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

void TagSocket::Open() {
    if (RAS)
        RAS->Connect();
    Fire(OnOpen);
    if (Server.empty())
        RaiseError(kMsgServerRequired);
    const ServerParts parts = SplitServer(Server);
    localHostName_ = QHostInfo::localHostName().toStdString();
    if (localHostName_.empty())
        localHostName_ = parts.host;
    ResolveHost(parts.host);
    port_ = ResolvePort(parts.portText);
    CreateSocket();
}

void TagSocket::ResolveHost(const std::string& host) {
    peerHost_ = host;
    if (!address_.setAddress(ToQString(host)))
        address_ = LookUpHost(host);
    addressText_ = address_.toString().toStdString();
}

QHostAddress TagSocket::LookUpHost(const std::string& host) {
    hostResolved_ = false;
    lookupId_ = QHostInfo::lookupHost(ToQString(host), this, [this](const QHostInfo& info) {
        hostInfo_ = info;
        hostResolved_ = true;
    });
    const bool resolved = Await([this] { return hostResolved_; });
    AbortLookup();
    if (!resolved || hostInfo_.error() != QHostInfo::NoError || hostInfo_.addresses().isEmpty()) {
        RaiseError(kMsgResolveError);
    }
    return PreferredAddress(hostInfo_.addresses());
}

std::uint16_t TagSocket::ResolvePort(const std::string& portText) {
    if (!portText.empty()) {
        const auto port = ParsePort(portText);
        if (!port)
            RaiseError("'" + portText + "' is not a valid port number");
        return *port;
    }
    if (Security == TlsMode::Ssl && SecurePort != 0)
        return SecurePort;
    if (Service.empty())
        RaiseError(kMsgServiceRequired);
    return LookUpServicePort(Service).value_or(DefaultPort);
}

// The old socket's last signals must not reach flags that belong to the next one.
void TagSocket::DropSocket() {
    if (!socket_)
        return;
    QObject::disconnect(socket_.get(), nullptr, this, nullptr);
    socket_.reset();
}

void TagSocket::CreateSocket() {
    DropSocket();
    socket_ = std::make_unique<QSslSocket>();
    QSslSocket* socket = socket_.get();
    connect(socket, &QAbstractSocket::connected, this, [this] { connected_ = true; });
    connect(socket, &QAbstractSocket::disconnected, this, [this] {
        closed_ = true;
        Fire(OnDataArrived);
    });
    connect(socket, &QIODevice::readyRead, this, [this] { Fire(OnDataArrived); });
    connect(socket, &QSslSocket::encrypted, this, [this] { encrypted_ = true; });
    connect(socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        for (const auto& error : errors) {
            if (!tlsReasons_.empty())
                tlsReasons_ += "; ";
            tlsReasons_ += error.errorString().toStdString();
        }
    });
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) {
                // A reset or a close by the peer ends the data; what is buffered still counts.
                if (error == QAbstractSocket::RemoteHostClosedError) {
                    closed_ = true;
                    return;
                }
                errorFlag_ = true;
                errorCode_ = error;
                errorString_ = socket->errorString().toStdString();
            });
    opened_ = true;
    connected_ = closed_ = encrypted_ = errorFlag_ = false;
    bytesReceived_ = 0;
    tlsReasons_.clear();
}

void TagSocket::AbortLookup() {
    if (lookupId_ == -1)
        return;
    if (!hostResolved_)
        QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
}

void TagSocket::ConnectSocket() {
    if (canceled_)
        RaiseCanceled();
    RequireConnected();
    socket_->connectToHost(address_, port_);
    // The error flag ends this wait too, so a refused connection is reported at once; it
    // leaves the client closed, so the next log-in opens again.
    if (!Await([this] { return connected_; })) {
        const std::string text = SocketErrorText(errorCode_, errorString_);
        Close();
        RaiseError(text);
    }
    if (Security == TlsMode::Ssl)
        StartTls();
    Fire(OnConnected);
}

void TagSocket::StartTls() {
    RequireConnected();
    // Plain text the server sent ahead of the handshake could pose as protected data.
    if (socket_->bytesAvailable() > 0)
        FailTls("the server sent data before the handshake");
    if (!QSslSocket::supportsSsl())
        FailTls("TLS is not available on this system");
    std::string problem;
    const auto config = ClientTlsConfiguration(problem);
    if (!config)
        FailTls(problem);
    socket_->setSslConfiguration(*config);
    socket_->setPeerVerifyName(ToQString(peerHost_));
    tlsReasons_.clear();
    socket_->startClientEncryption();
    Await([this] { return encrypted_ || closed_; });
    if (encrypted_)
        return;
    if (!tlsReasons_.empty())
        FailTls(tlsReasons_);
    FailTls(errorFlag_ ? errorString_ : "the server closed the connection");
}

void TagSocket::FailTls(const std::string& reason) {
    Close();
    RaiseError(TlsFailureText(reason));
}

bool TagSocket::Await(const std::function<bool()>& done) {
    const auto replyExpired = [this] { return replyDeadline_ && replyDeadline_->hasExpired(); };
    counter_.Start();
    while (!done() && !canceled_ && !counter_.TimedOut() && !errorFlag_ && !replyExpired())
        PumpOnce();
    counter_.Stop();
    if (canceled_)
        RaiseCanceled();
    // Checked even when data is waiting: a server that never stops sending must not
    // keep the reply going.
    if (counter_.TimedOut() || replyExpired())
        RaiseTimedOut();
    return done();
}

bool TagSocket::LineWaiting() const {
    return opened_ && socket_->canReadLine();
}

int TagSocket::ReadLine(std::string& line) {
    RequireConnected();
    lineComplete_ = ReceiveLine(line);
    replyText_ = line;
    if (!lineComplete_ && line.empty())
        return -1;
    transcript_.Add(line);
    if (OnLineReceived)
        OnLineReceived(*this, line);
    return lineComplete_ ? ReplyCode(line) : -1;
}

bool TagSocket::ReceiveLine(std::string& line) {
    // A reply may answer a queued command: the kernel gets what it takes of them now.
    if (socket_->bytesToWrite() > 0)
        socket_->flush();
    const auto lineReady = [this] {
        return socket_->canReadLine() || socket_->bytesAvailable() > kMaxReplyLineBytes || closed_;
    };
    if (!Await(lineReady))
        RaiseSocketError();
    // Most reply lines are short: a small look finds their end without copying a large
    // piece of what else is waiting.
    constexpr qint64 kShortLineBytes = 512;
    QByteArray head = socket_->peek(kShortLineBytes);
    auto lineFeed = head.indexOf('\n');
    if (lineFeed < 0) {
        head = socket_->peek(kMaxReplyLineBytes + 1);
        lineFeed = head.indexOf('\n');
    }
    if (lineFeed < 0 && head.size() > kMaxReplyLineBytes) {
        Close();
        RaiseError("Reply line longer than " + std::to_string(kMaxReplyLineBytes) + " bytes");
    }
    QByteArray received = Receive(lineFeed < 0 ? head.size() : lineFeed + 1);
    while (received.endsWith('\n') || received.endsWith('\r'))
        received.chop(1);
    line = received.toStdString();
    return lineFeed >= 0;
}

QByteArray TagSocket::Receive(qint64 maxBytes) {
    QByteArray data = socket_->read(maxBytes);
    bytesReceived_ += data.size();
    return data;
}

int TagSocket::ReadReply() {
    const ReplyDeadline deadline(*this, -1);
    std::string line;
    const int code = ReadLine(line);
    const auto continues = [](const std::string& text) {
        return text.size() > kReplyCodeDigits && text[kReplyCodeDigits] == '-';
    };
    if (code < 1 || !continues(line))
        return code;
    while (ReadLine(line) != code || continues(line)) {
        if (!lineComplete_)
            break;
    }
    return code;
}

void TagSocket::SendLine(std::string_view text) {
    RequireSingleLine(text);
    SendBytes(QByteArray(text.data(), static_cast<qsizetype>(text.size())) + kLineEnd.data());
    LineSent(std::string(text));
}

void TagSocket::QueueLine(std::string_view text) {
    RequireSingleLine(text);
    RequireConnected();
    const QByteArray bytes =
        QByteArray(text.data(), static_cast<qsizetype>(text.size())) + kLineEnd.data();
    if (socket_->write(bytes) != bytes.size())
        RaiseError(SystemErrorText(EPIPE));
    LineSent(std::string(text));
}

void TagSocket::SendSecretLine(std::string_view visible, std::string_view secret) {
    RequireSingleLine(visible);
    RequireSingleLine(secret);
    std::string whole(visible);
    whole.append(secret).append(kLineEnd);
    SendBytes(QByteArray::fromStdString(whole));
    LineSent(std::string(visible) + std::string(Transcript::kSecretMask));
}

void TagSocket::LineSent(const std::string& line) {
    transcript_.Add(line);
    if (OnLineSent)
        OnLineSent(*this, line);
}

void TagSocket::RequireSingleLine(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos) {
        RaiseError("Command line contains a line break");
    }
}

void TagSocket::SendBytes(const QByteArray& bytes) {
    RequireConnected();
    if (socket_->write(bytes) != bytes.size())
        RaiseError(SystemErrorText(EPIPE));
    if (!Await([this] { return socket_->bytesToWrite() == 0 || closed_; }))
        RaiseSocketError();
    if (socket_->bytesToWrite() > 0)
        RaiseError(SystemErrorText(EPIPE));
}

void TagSocket::ReadToTerminator(QIODevice& stream, qint64 size) {
    RequireConnected();
    const ReplyDeadline deadline(*this, size);
    TerminatorScanner scanner;
    QByteArray held;  // the last bytes, which may turn out to be the "." line
    constexpr qsizetype kDotLineBytes = 3;
    // Header blocks are small and often followed by more replies: the first look is small
    // and later ones grow, so a short block is not found by copying a large piece.
    qint64 lookBytes = kFirstDataLookBytes;
    for (;;) {
        if (!Await([this] { return socket_->bytesAvailable() > 0 || closed_; }))
            RaiseSocketError();
        if (socket_->bytesAvailable() == 0)
            RaiseError(std::string(kClosedEarlyText));
        const QByteArray piece = socket_->peek(std::min(lookBytes, socket_->bytesAvailable()));
        lookBytes = std::min(2 * lookBytes, kDataBlockReadBytes);
        const auto end = scanner.Feed(std::string_view(piece.constData(), piece.size()));
        QByteArray data = held + Receive(end ? static_cast<qint64>(*end) : piece.size());
        BlankZeroBytes(data);
        const qsizetype keep = end ? 0 : std::min(kDotLineBytes, data.size());
        const qsizetype drop = end ? kDotLineBytes : keep;
        held = data.right(keep);
        stream.write(data.left(data.size() - drop));
        FireProgress(size > 0 ? PercentOf(stream.pos(), size) : -1, stream.pos());
        if (end)
            return;
    }
}

void TagSocket::ReadExactly(QIODevice& stream, qint64 size) {
    RequireConnected();
    const ReplyDeadline deadline(*this, size);
    qint64 count = 0;
    while (count < size) {
        if (!Await([this] { return socket_->bytesAvailable() > 0 || closed_; }))
            RaiseSocketError();
        if (socket_->bytesAvailable() == 0)
            RaiseError(std::string(kClosedEarlyText));
        const QByteArray data = Receive(std::min(kDataBlockReadBytes, size - count));
        count += data.size();
        stream.write(data);
        FireProgress(PercentOf(count, size), count);
    }
}

void TagSocket::ReadToClose(QIODevice& stream, qint64 size) {
    RequireConnected();
    const ReplyDeadline deadline(*this, size < 1 ? kMaxUnsizedReadBytes : size);
    FireProgress(0, 0);
    qint64 count = 0;
    while (size < 1 || count < size) {
        if (!Await([this] { return socket_->bytesAvailable() > 0 || closed_; }))
            RaiseSocketError();
        if (socket_->bytesAvailable() == 0)
            break;
        const qint64 wanted =
            size < 1 ? kReadToCloseBytes : std::min(kReadToCloseBytes, size - count);
        const QByteArray data = Receive(wanted);
        count += data.size();
        if (size < 1 && count > kMaxUnsizedReadBytes) {
            Close();
            RaiseError("Data longer than " + std::to_string(kMaxUnsizedReadBytes) + " bytes");
        }
        stream.write(data);
        FireProgress(size >= 1 ? PercentOf(count, size) : -1, count);
    }
    Fire(OnClosed);
}

void TagSocket::SendStream(QIODevice& stream) {
    RequireConnected();
    transcript_.Add(kBodySuppressed);
    stream.seek(0);
    const qint64 total = stream.size();
    for (;;) {
        const QByteArray piece = stream.read(kSendStreamPieceBytes);
        if (!piece.isEmpty())
            SendBytes(piece);
        FireProgress(PercentOf(stream.pos(), total), stream.pos());
        if (piece.size() < kSendStreamPieceBytes)
            break;
    }
    FireProgress(0, 0);
}

void TagSocket::Close() {
    if (opened_) {
        Fire(OnClosing);
        socket_->abort();
        opened_ = false;
        Fire(OnClosed);
    }
    if (RAS)
        RAS->Release();
}

void TagSocket::Cancel() {
    canceled_ = true;
    Fire(OnCancel);
    AbortLookup();
    Close();
}

void TagSocket::RequireConnected() {
    if (!opened_)
        RaiseError(kMsgNotConnected);
}

void TagSocket::RaiseError(const std::string& text) {
    counter_.Stop();
    if (OnError)
        OnError(*this, text);
    throw ESocketError(text);
}

void TagSocket::RaiseError(SocketMessage code) {
    RaiseError(SocketMessageText(code));
}

void TagSocket::RaiseSocketError() {
    RaiseError(SocketErrorText(errorCode_, errorString_));
}

void TagSocket::RaiseCanceled() {
    counter_.Stop();
    const std::string text = SocketMessageText(kMsgCanceled);
    if (OnError)
        OnError(*this, text);
    throw ECanceledError(text);
}

void TagSocket::RaiseTimedOut() {
    counter_.Stop();
    const std::string text = SocketMessageText(kMsgTimedOut);
    if (OnError)
        OnError(*this, text);
    AbortLookup();
    Close();
    throw ETimedOutError(text);
}

void TagSocket::Fire(const TmsNotifyEvent& event) {
    if (event)
        event(*this);
}

void TagSocket::FireProgress(int percent, qint64 transferred) {
    if (OnProgress)
        OnProgress(*this, percent, transferred);
}

int TagSocket::PercentOf(qint64 part, qint64 whole) {
    if (whole <= 0)
        return 0;
    return static_cast<int>(std::lround(static_cast<double>(part) * kFullPercent / whole));
}

}  // namespace sievo
