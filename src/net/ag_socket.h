#pragma once

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QPointer>
#include <QSslSocket>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/dial_up_link.h"
#include "net/net_errors.h"
#include "net/time_counter.h"
#include "net/tls_settings.h"
#include "net/transcript.h"

class QIODevice;

namespace sievo {

class TagSocket;

using TmsNotifyEvent = std::function<void(TagSocket& sender)>;
using TmsProgressEvent = std::function<void(TagSocket& sender, int Perc, qint64 Transferred)>;
using TmsErrorEvent = std::function<void(TagSocket& sender, const std::string& message)>;
using TmsLineEvent = std::function<void(TagSocket& sender, const std::string& line)>;

// A TCP client connection whose operations look blocking to the caller but keep the
// program alive: every wait pumps events until the socket's signals, a cancel or the
// time counter end it. Plain or TLS (from the first byte, or started by the protocol).
class TagSocket : public QObject {
public:
    // Longest reply line read whole; anything longer is an error, never cut silently.
    static constexpr qint64 kMaxReplyLineBytes = 64 * 1024;
    // Longest body read to the close when no size is known.
    static constexpr qint64 kMaxUnsizedReadBytes = 64 * 1024 * 1024;
    static constexpr qint64 kDataBlockReadBytes = 16384;
    static constexpr qint64 kFirstDataLookBytes = 2048;
    static constexpr qint64 kReadToCloseBytes = 8192;
    static constexpr qint64 kSendStreamPieceBytes = 2047;
    static constexpr std::string_view kClosedEarlyText =
        "Connection closed before the end of the data";
    // A multi-line reply must end within `TimeOut` seconds plus one second for every this
    // many bytes announced for it: a server that trickles, or never stops sending, cannot
    // hold a check forever, while a large message on a slow link still arrives.
    static constexpr qint64 kReplyBytesPerExtraSecond = 64 * 1024;

    explicit TagSocket(QObject* parent = nullptr);
    ~TagSocket() override;

    // Host name or dotted address, optionally ":" and a port.
    std::string Server;
    // The port when the service is not in the services table.
    std::uint16_t DefaultPort = 0;
    // Service name looked up in the system's services table ("pop3", "smtp", "http").
    std::string Service;
    // TLS for this connection; with `Ssl` and no port in `Server`, `SecurePort` is used.
    TlsMode Security = TlsMode::None;
    std::uint16_t SecurePort = 0;
    // Dial-up connection made sure of in `Open` and released in `Close`; optional.
    QPointer<DialUpLink> RAS;

    // When set, every line sent and received is kept and written to this file at the end.
    void SetLogFileName(const std::string& fileName) { transcript_.fileName = fileName; }
    const std::string& LogFileName() const { return transcript_.fileName; }

    int TimeOut() const { return counter_.TimeOut(); }
    void SetTimeOut(int seconds) { counter_.SetTimeOut(seconds); }

    TmsNotifyEvent OnOpen;
    TmsNotifyEvent OnConnected;
    TmsNotifyEvent OnClosing;
    TmsNotifyEvent OnClosed;
    TmsNotifyEvent OnCancel;
    TmsProgressEvent OnProgress;
    TmsErrorEvent OnError;
    TmsLineEvent OnLineSent;
    TmsLineEvent OnLineReceived;
    // Data has arrived or the peer has closed, whether or not anything waits for it: lets
    // a connection that sits idle between commands be watched without a wait.
    TmsNotifyEvent OnDataArrived;

    // Clears the cancel, time-out, error and status flags.
    virtual void ResetState();
    // The first three characters as a decimal number, -1 when they are none.
    virtual int ReplyCode(std::string_view line) const;
    // Dial-up, OnOpen, checks, host and port resolved, socket made; no connection yet.
    virtual void Open();
    virtual void Close();
    // Ends whatever waits (it raises "Operation has been canceled") and closes.
    virtual void Cancel();

    // True between `Open` and `Close`.
    bool Connected() const { return opened_; }
    // True once the TLS handshake has succeeded on the current connection.
    bool Encrypted() const { return encrypted_; }
    // True once the peer has closed the current connection.
    bool PeerClosed() const { return closed_; }

    void ConnectSocket();
    // Starts TLS on the open connection (after the protocol's STLS or STARTTLS was
    // accepted). Any failure closes the connection before the error is raised.
    void StartTls();

    // Reads one line into `line` (and `ReplyText`) and returns `ReplyCode` of it; -1 and
    // the partial text when the peer closed before the line ended.
    int ReadLine(std::string& line);
    // Reads a numeric reply with its continuation lines; the code of the first line.
    int ReadReply();
    // Sends the text and CR LF. Text holding CR or LF is refused before anything is sent.
    void SendLine(std::string_view text);
    // Queues the text and CR LF without waiting for it to leave: queued lines go out
    // together when the next reply is awaited, and the bytes the kernel does not take at
    // once go out while waits pump events, so a pipelining client never blocks on a full
    // socket buffer while the server waits for its replies to be read.
    void QueueLine(std::string_view text);
    // Sends `visible` + `secret` as one line; logs and reports the secret as asterisks.
    void SendSecretLine(std::string_view visible, std::string_view secret);
    // Reads a data block to its "." line into `stream`; the stored data ends with the last
    // real line's CR LF. `size` is the expected size for progress and for the reply's
    // deadline, -1 when unknown.
    void ReadToTerminator(QIODevice& stream, qint64 size);
    // Reads exactly `size` bytes into `stream` (a literal of a protocol that announces its
    // lengths), within the reply deadline for that size; a close before the end raises.
    void ReadExactly(QIODevice& stream, qint64 size);
    // Reads `size` bytes (all up to the close when `size` < 1) into `stream`.
    void ReadToClose(QIODevice& stream, qint64 size);
    // Sends the whole stream from its start as it is.
    void SendStream(QIODevice& stream);

    const std::string& ReplyText() const { return replyText_; }
    // False when the last `ReadLine` ended because the peer closed, not at a line end.
    bool LineComplete() const { return lineComplete_; }
    const std::string& LocalHostName() const { return localHostName_; }
    const std::string& AddressText() const { return addressText_; }
    std::uint16_t Port() const { return port_; }
    // True when a whole line has arrived and can be read without waiting.
    bool LineWaiting() const;
    // Bytes read from the server on the current connection.
    qint64 BytesReceived() const { return bytesReceived_; }

    // Fires `OnError` with the text and raises `ESocketError`.
    [[noreturn]] void RaiseError(const std::string& text);
    [[noreturn]] void RaiseError(SocketMessage code);

protected:
    // Sets the deadline of the whole reply being read while it lives: the time-out, plus a
    // second for every kReplyBytesPerExtraSecond of `size` (-1 when unknown). Inside an
    // outer deadline it does nothing, so a reply read in pieces keeps one deadline.
    class ReplyDeadline {
    public:
        ReplyDeadline(TagSocket& socket, qint64 size);
        ~ReplyDeadline();
        ReplyDeadline(const ReplyDeadline&) = delete;
        ReplyDeadline& operator=(const ReplyDeadline&) = delete;

    private:
        TagSocket& socket_;
        bool outermost_;
    };

    [[noreturn]] void RaiseCanceled();
    [[noreturn]] void RaiseTimedOut();
    void FireProgress(int percent, qint64 transferred);
    void Fire(const TmsNotifyEvent& event);
    static int PercentOf(qint64 part, qint64 whole);

private:
    void ResolveHost(const std::string& host);
    QHostAddress LookUpHost(const std::string& host);
    std::uint16_t ResolvePort(const std::string& portText);
    void CreateSocket();
    void DropSocket();
    void AbortLookup();
    void RequireConnected();
    void RequireSingleLine(std::string_view text);
    // Pumps events until `done` holds; raises on cancel and time-out. False when the wait
    // ended on a socket error instead.
    bool Await(const std::function<bool()>& done);
    [[noreturn]] void RaiseSocketError();
    [[noreturn]] void FailTls(const std::string& reason);
    void SendBytes(const QByteArray& bytes);
    // False when the peer closed before the line ended.
    bool ReceiveLine(std::string& line);
    QByteArray Receive(qint64 maxBytes);
    void LineSent(const std::string& line);

    std::unique_ptr<QSslSocket> socket_;
    TTimeCounter counter_;
    Transcript transcript_;
    // Ends every wait of the reply being read, however often data arrives.
    std::optional<QDeadlineTimer> replyDeadline_;
    QHostAddress address_;
    QHostInfo hostInfo_;
    std::string addressText_;
    std::string localHostName_;
    std::string peerHost_;
    std::string replyText_;
    std::string tlsReasons_;
    std::uint16_t port_ = 0;
    int lookupId_ = -1;
    qint64 bytesReceived_ = 0;
    bool opened_ = false;
    bool lineComplete_ = false;
    bool canceled_ = false;
    bool hostResolved_ = false;
    bool connected_ = false;
    bool closed_ = false;
    bool encrypted_ = false;
    bool errorFlag_ = false;
    QAbstractSocket::SocketError errorCode_ = QAbstractSocket::UnknownSocketError;
    std::string errorString_;
};

}  // namespace sievo
