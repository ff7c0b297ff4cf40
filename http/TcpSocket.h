// The asynchronous TCP socket beneath the HTTP client, on the platform's
// sockets and driven by the thread's socket loop (http/SocketLoop.h): name
// resolution, connect bound to a local address, a send buffer, data-available
// and closed events, graceful, immediate and abort closes, and the activity
// ticks that the client's time-out reads.
//
// Every event is delivered from the socket loop, never from inside the call
// that caused it, and none is delivered after Abort. A closed event always
// follows the delivery of the data that arrived before it, also when the data
// handler is still running (a handler that waits on the loop itself).
#pragma once

#include "http/SocketLoop.h"
#include "platform/Socket.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvex {

// A socket operation that failed at once; the number is a socket error number.
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(int error);
    int ErrorCode() const { return error_; }
    std::string Message() const { return what(); }

private:
    int error_;
};

// A 32-bit millisecond tick counter; differences are taken modulo 2^32, so a
// wrap-around between two ticks is harmless.
std::uint32_t TickCount();

class TTcpSocket final : public TLoopSocket {
public:
    enum TState { sockClosed, sockDnsLookup, sockConnecting, sockConnected, sockClosing };

    TTcpSocket();
    ~TTcpSocket();
    TTcpSocket(const TTcpSocket&) = delete;
    TTcpSocket& operator=(const TTcpSocket&) = delete;

    // Events; the int is a socket error number, 0 for success.
    std::function<void(int)> OnDnsLookupDone;
    std::function<void(int)> OnSessionConnected;
    std::function<void()> OnDataAvailable;
    std::function<void(int)> OnSessionClosed;

    TState State() const { return state_; }

    // Address that connections are bound to; "0.0.0.0" is any IPv4 address.
    // Throws ESocketException for a text that is not an address.
    void SetLocalAddr(const std::string& address);

    // Starts resolving a host name to an address of the local address's
    // family; OnDnsLookupDone reports the outcome. A running resolution is
    // abandoned first.
    void DnsLookup(const std::string& host);
    void CancelDnsLookup();

    // Connects to the resolved address; OnSessionConnected reports the
    // outcome, and a failed attempt is followed by OnSessionClosed. Throws
    // ESocketException when the attempt cannot start (bad port, bind failure).
    void Connect(const std::string& port);

    // Takes a connection that a listening socket accepted (http/TcpListener.h),
    // dropping any of its own first; the socket is then connected.
    void Adopt(TSocket connection);
    // The peer's numeric address, e.g. "127.0.0.2"; empty when not connected.
    std::string PeerAddr() const;

    // Appends bytes to the send buffer; they are sent in order.
    void Send(std::string_view bytes);
    // Moves up to max received bytes into buffer; returns how many (0: none).
    std::int64_t Receive(char* buffer, std::int64_t max);

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

    // Driven by the socket loop: what to wait for, whether an event is due
    // without waiting, and serving the socket after the wait.
    TSocketWait WaitFor() const override;
    bool HasWorkAtHand() const override;
    bool LookupRunning() const override { return state_ == sockDnsLookup; }
    void Serve(bool readable, bool writable) override;

private:
    void LookupFinished(const TNameLookup::TResult& result);
    void ConnectFinished();
    void ConnectFailed(int error);
    void FlushSend();
    void DeliverData();
    void ReportClosed(int error);
    // Runs action from the socket loop unless Abort comes first.
    void Post(std::function<void()> action);

    TSocket socket_;
    TNameLookup lookup_;
    TSocketAddress local_;
    TSocketAddress address_;
    TState state_ = sockClosed;
    std::uint64_t serial_ = 0;  // advanced by Abort to void posted events
    std::string sendBuffer_;
    std::size_t sendStart_ = 0;  // bytes of sendBuffer_ already sent
    bool closeRequested_ = false;  // a graceful close waits for the send buffer
    bool ended_ = false;  // the connection has ended; the closed event is due
    int closeError_ = 0;
    bool inDataEvent_ = false;
    std::optional<int> closedWhileInData_;
    // Reset by the destructor: posted actions of a destroyed socket do nothing.
    std::shared_ptr<char> alive_ = std::make_shared<char>();

    std::uint32_t startTick_ = 0;
    std::optional<std::uint32_t> lastReceiveTick_;
    std::optional<std::uint32_t> lastSendTick_;
};

}  // namespace quorvex
