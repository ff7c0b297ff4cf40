#include "http/TcpSocket.h"

#include "http/SocketLoop.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace quorvex {
namespace {

// A decimal port 1..65535, else nothing.
std::optional<std::uint16_t> ParsePort(const std::string& text)
{
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned long number = std::stoul(text);
    if (number == 0 || number > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(number);
}

}  // namespace

ESocketException::ESocketException(int error) : std::runtime_error(SocketErrorText(error)), error_(error)
{
}

std::uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

TTcpSocket::TTcpSocket() : local_(*TSocketAddress::Parse("0.0.0.0"))
{
    TSocketLoop::ThisThread().Add(this);
}

TTcpSocket::~TTcpSocket()
{
    TSocketLoop::ThisThread().Remove(this);
}

void TTcpSocket::SetLocalAddr(const std::string& address)
{
    const std::optional<TSocketAddress> local = TSocketAddress::Parse(address);
    if (!local)
        throw ESocketException(sockErrAddressNotAvailable);
    local_ = *local;
}

void TTcpSocket::DnsLookup(const std::string& host)
{
    CancelDnsLookup();
    state_ = sockDnsLookup;
    try {
        lookup_.Start(host, local_);
    } catch (const std::system_error&) {
        // No worker thread to be had: the lookup fails, reported as any outcome.
        Post([this] { LookupFinished({sockErrLookupFailed, {}}); });
    }
}

void TTcpSocket::CancelDnsLookup()
{
    if (state_ != sockDnsLookup)
        return;
    lookup_.Abandon();
    state_ = sockClosed;
}

void TTcpSocket::LookupFinished(const TNameLookup::TResult& result)
{
    if (state_ != sockDnsLookup)
        return;
    state_ = sockClosed;
    if (result.Error == 0)
        address_ = result.Address;
    if (OnDnsLookupDone)
        OnDnsLookupDone(result.Error);
}

void TTcpSocket::Connect(const std::string& port)
{
    const std::optional<std::uint16_t> number = ParsePort(port);
    if (!number)
        throw ESocketException(sockErrInvalidArgument);
    Abort();
    address_.SetPortNumber(*number);
    bool notStarted = false;
    const int error = socket_.StartConnect(local_, address_, notStarted);
    if (notStarted)
        throw ESocketException(error);

    state_ = sockConnecting;
    closeError_ = 0;
    // A refusal that comes at once is still the outcome of the attempt,
    // delivered as its completion.
    if (error != 0)
        Post([this, error] { ConnectFailed(error); });
}

void TTcpSocket::ConnectFinished()
{
    const int error = socket_.ConnectResult();
    if (error != 0) {
        ConnectFailed(error);
        return;
    }
    state_ = sockConnected;
    if (OnSessionConnected)
        OnSessionConnected(0);
}

void TTcpSocket::ConnectFailed(int error)
{
    if (state_ != sockConnecting)
        return;
    state_ = sockClosed;
    socket_.Close();
    if (OnSessionConnected)
        OnSessionConnected(error);
    Post([this, error] {
        if (OnSessionClosed)
            OnSessionClosed(error);
    });
}

void TTcpSocket::Adopt(TSocket connection)
{
    Abort();
    socket_ = std::move(connection);
    state_ = socket_.IsOpen() ? sockConnected : sockClosed;
}

std::string TTcpSocket::PeerAddr() const
{
    TSocketAddress peer;
    if (!socket_.IsOpen() || socket_.PeerAddress(peer) != 0)
        return {};
    return peer.HostText();
}

void TTcpSocket::Send(std::string_view bytes)
{
    if (!socket_.IsOpen() || closeRequested_)
        return;
    sendBuffer_.append(bytes);
    FlushSend();
}

// Sends what the system takes now; a failed send stops sending, and the
// reading side then meets the connection's end with its reason.
void TTcpSocket::FlushSend()
{
    while (sendStart_ < sendBuffer_.size()) {
        const TSocket::TTransfer sent =
            socket_.Send(std::span<const char>(sendBuffer_).subspan(sendStart_));
        if (sent.Count == 0) {
            if (sent.Error == 0)
                return;  // the system's buffer is full: the loop waits for room
            closeError_ = sent.Error;
            break;
        }
        sendStart_ += sent.Count;
        lastSendTick_ = TickCount();
    }
    sendBuffer_.clear();
    sendStart_ = 0;
    if (closeRequested_) {
        socket_.Close();
        ended_ = true;
    }
}

std::int64_t TTcpSocket::Receive(char* buffer, std::int64_t max)
{
    // A handler of the data may have aborted the connection meanwhile.
    if (!socket_.IsOpen() || ended_ || max <= 0)
        return 0;
    const TSocket::TTransfer received = socket_.Receive({buffer, static_cast<std::size_t>(max)});
    if (received.Count > 0) {
        lastReceiveTick_ = TickCount();
        return static_cast<std::int64_t>(received.Count);
    }
    if (received.Ended) {
        ended_ = true;
        if (received.Error != 0)
            closeError_ = received.Error;
    }
    return 0;
}

TSocketWait TTcpSocket::WaitFor() const
{
    TSocketWait wait;
    wait.Socket = &socket_;
    if (!socket_.IsOpen() || ended_)
        return wait;
    const bool open = state_ == sockConnected || state_ == sockClosing;
    // The running data handler reads on by itself; waiting for data it has
    // not read yet would only spin.
    wait.WantRead = open && !inDataEvent_;
    wait.WantWrite = state_ == sockConnecting || (open && sendStart_ < sendBuffer_.size());
    return wait;
}

bool TTcpSocket::HasWorkAtHand() const
{
    return ended_ && !inDataEvent_ && (state_ == sockConnected || state_ == sockClosing);
}

void TTcpSocket::Serve(bool readable, bool writable)
{
    switch (state_) {
    case sockClosed:
        return;
    case sockDnsLookup:
        if (const std::optional<TNameLookup::TResult> result = lookup_.Take())
            LookupFinished(*result);
        return;
    case sockConnecting:
        if (writable)
            ConnectFinished();
        return;
    case sockConnected:
    case sockClosing:
        break;
    }
    const std::weak_ptr<char> alive = alive_;
    const std::uint64_t serial = serial_;
    if (writable)
        FlushSend();
    if (readable)
        DeliverData();
    if (!alive.expired() && serial == serial_ && HasWorkAtHand())
        ReportClosed(closeError_);
}

void TTcpSocket::DeliverData()
{
    if (inDataEvent_ || !OnDataAvailable)
        return;  // the running handler reads on until the socket is empty
    const std::weak_ptr<char> alive = alive_;
    const std::uint64_t serial = serial_;
    inDataEvent_ = true;
    OnDataAvailable();
    if (alive.expired())
        return;
    inDataEvent_ = false;
    if (serial == serial_ && closedWhileInData_) {
        const int error = *closedWhileInData_;
        closedWhileInData_.reset();
        ReportClosed(error);
    }
}

void TTcpSocket::ReportClosed(int error)
{
    if (inDataEvent_) {
        closedWhileInData_ = error;
        return;
    }
    if (state_ == sockClosed)
        return;
    state_ = sockClosed;
    ended_ = false;
    closeRequested_ = false;
    sendBuffer_.clear();
    sendStart_ = 0;
    socket_.Close();
    if (OnSessionClosed)
        OnSessionClosed(error);
}

void TTcpSocket::CloseDelayed()
{
    if (state_ != sockConnected)
        return;
    state_ = sockClosing;
    Post([this] { Close(); });
}

void TTcpSocket::Close()
{
    if (state_ != sockConnected && state_ != sockClosing)
        return;
    state_ = sockClosing;
    if (ended_ || closeRequested_)
        return;  // the loop reports the end
    closeRequested_ = true;
    FlushSend();
}

void TTcpSocket::Abort()
{
    ++serial_;
    CancelDnsLookup();
    state_ = sockClosed;
    closedWhileInData_.reset();
    ended_ = false;
    closeRequested_ = false;
    closeError_ = 0;
    sendBuffer_.clear();
    sendStart_ = 0;
    socket_.Close();
}

void TTcpSocket::Post(std::function<void()> action)
{
    TSocketLoop::ThisThread().Post(
        [this, alive = std::weak_ptr<char>(alive_), serial = serial_, action = std::move(action)] {
            if (!alive.expired() && serial == serial_)
                action();
        });
}

void TTcpSocket::MarkRequestStart()
{
    startTick_ = TickCount();
    lastReceiveTick_.reset();
    lastSendTick_.reset();
}

std::uint32_t TTcpSocket::IdleMilliseconds() const
{
    const std::uint32_t now = TickCount();
    std::uint32_t idle = now - startTick_;
    for (const auto& tick : {lastReceiveTick_, lastSendTick_}) {
        if (tick)
            idle = std::min(idle, static_cast<std::uint32_t>(now - *tick));
    }
    return idle;
}

}  // namespace quorvex
