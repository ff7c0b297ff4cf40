// The asynchronous TCP socket beneath the HTTP client, driven by the Qt event
// loop of the thread that owns it: name resolution, connect bound to a local
// address, a send buffer, data-available and closed events, graceful, immediate
// and abort closes, and the activity ticks that the client's time-out reads.
//
// Every event is delivered from the event loop, never from inside the call that
// caused it, and none is delivered after Abort. A closed event always follows
// the delivery of the data that arrived before it, also when the data handler
// is still running (a handler that pumps the event loop itself).
#pragma once

#include <QHostAddress>
#include <QHostInfo>
#include <QString>
#include <QTcpSocket>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

namespace quorvex {

// Socket error numbers: the system's errno values where one fits, and the
// numbers below for name resolution, which has none.
enum : int {
    sockErrHostNotFound = 11001,
    sockErrLookupFailed = 11002,
    sockErrUnknown = 11003,
};

// Text of a socket error number, e.g. "Connection refused".
QString SocketErrorText(int error);

// A socket operation that failed at once; the number is a socket error number.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(int error);
    int ErrorCode() const { return error_; }
    QString Message() const { return SocketErrorText(error_); }

private:
    int error_;
};

// A 32-bit millisecond tick counter; differences are taken modulo 2^32, so a
// wrap-around between two ticks is harmless.
std::uint32_t TickCount();

class TTcpSocket final : public QObject {
public:
    enum TState { sockClosed, sockDnsLookup, sockConnecting, sockConnected, sockClosing };

    explicit TTcpSocket(QObject* parent = nullptr);
    ~TTcpSocket() override;

    // Events; the int is a socket error number, 0 for success.
    std::function<void(int)> OnDnsLookupDone;
    std::function<void(int)> OnSessionConnected;
    std::function<void()> OnDataAvailable;
    std::function<void(int)> OnSessionClosed;

    TState State() const { return state_; }

    // Address that connections are bound to; "0.0.0.0" is any IPv4 address.
    // Throws ESocketException for a text that is not an address.
    void SetLocalAddr(const QString& address);

    // Starts resolving a host name to an address of the local address's
    // family; OnDnsLookupDone reports the outcome. A running resolution is
    // cancelled first.
    void DnsLookup(const QString& host);
    void CancelDnsLookup();

    // Connects to the resolved address; OnSessionConnected reports the
    // outcome, and a failed attempt is followed by OnSessionClosed. Throws
    // ESocketException when the attempt cannot start (bad port, bind failure).
    void Connect(const QString& port);

    // Appends bytes to the send buffer; they are sent in order.
    void Send(const QByteArray& bytes);
    // Moves up to max received bytes into buffer; returns how many (0: none).
    qint64 Receive(char* buffer, qint64 max);

    // Graceful close once the current event has returned: pending bytes are
    // sent, then OnSessionClosed.
    void CloseDelayed();
    // Graceful close starting now.
    void Close();
    // Drops the connection or resolution at once; no event follows.
    void Abort();

    // Activity record: the start of a request clears the receive and send ticks.
    void MarkRequestStart();
    // Milliseconds since the latest of the start, the last receive and the last send.
    std::uint32_t IdleMilliseconds() const;

private:
    void LookupFinished(int id, const QHostInfo& info);
    void QtConnected();
    void QtError(QAbstractSocket::SocketError error);
    void QtStateChanged(QAbstractSocket::SocketState state);
    void DeliverData();
    void ReportClosed(int error);
    void ConnectFailed(int error);
    // Runs action from the event loop unless Abort comes first.
    void Post(std::function<void()> action);

    QTcpSocket socket_;
    QHostAddress local_{QHostAddress::AnyIPv4};
    QHostAddress address_;
    TState state_ = sockClosed;
    int lookupId_ = -1;
    std::uint64_t serial_ = 0;  // advanced by Abort to void posted events
    bool starting_ = false;  // inside connectToHost
    bool closing_ = false;  // inside disconnectFromHost
    std::optional<int> startError_;
    int closeError_ = 0;
    bool inDataEvent_ = false;
    std::optional<int> closedWhileInData_;

    std::uint32_t startTick_ = 0;
    std::optional<std::uint32_t> lastReceiveTick_;
    std::optional<std::uint32_t> lastSendTick_;
};

}  // namespace quorvex
