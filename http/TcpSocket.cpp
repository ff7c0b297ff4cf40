#include "http/TcpSocket.h"

#include <QPointer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <utility>

namespace quorvex {
namespace {

struct TErrorText {
    int Error;
    const char* Text;
};

constexpr std::array<TErrorText, 13> kErrorTexts{{
    {ECONNREFUSED, "Connection refused"},
    {ECONNRESET, "Connection reset by peer"},
    {ETIMEDOUT, "Connection timed out"},
    {ENETUNREACH, "Network is unreachable"},
    {EHOSTUNREACH, "No route to host"},
    {EACCES, "Permission denied"},
    {ENOBUFS, "No buffer space available"},
    {EADDRINUSE, "Address already in use"},
    {EADDRNOTAVAIL, "Cannot assign requested address"},
    {EAFNOSUPPORT, "Address family not supported by protocol"},
    {EINVAL, "Invalid argument"},
    {sockErrHostNotFound, "Host not found"},
    {sockErrLookupFailed, "Name lookup failed"},
}};

int ErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return 0;
    case QAbstractSocket::HostNotFoundError: return sockErrHostNotFound;
    case QAbstractSocket::SocketAccessError: return EACCES;
    case QAbstractSocket::SocketResourceError: return ENOBUFS;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::NetworkError: return ENETUNREACH;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError: return EAFNOSUPPORT;
    default: return sockErrUnknown;
    }
}

int ErrorNumber(QHostInfo::HostInfoError error)
{
    return error == QHostInfo::HostNotFound ? sockErrHostNotFound : sockErrLookupFailed;
}

// Bounds what Qt holds for us between two data events.
constexpr qint64 kQtReadBufferSize = 256 * 1024;

}  // namespace

QString SocketErrorText(int error)
{
    for (const TErrorText& entry : kErrorTexts) {
        if (entry.Error == error)
            return QString::fromLatin1(entry.Text);
    }
    return QStringLiteral("Unknown socket error");
}

ESocketException::ESocketException(int error)
    : std::runtime_error(SocketErrorText(error).toStdString()), error_(error)
{
}

std::uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

TTcpSocket::TTcpSocket(QObject* parent) : QObject(parent)
{
    socket_.setReadBufferSize(kQtReadBufferSize);
    connect(&socket_, &QTcpSocket::connected, this, &TTcpSocket::QtConnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TTcpSocket::QtError);
    connect(&socket_, &QTcpSocket::stateChanged, this, &TTcpSocket::QtStateChanged);
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        lastReceiveTick_ = TickCount();
        if (state_ == sockConnected || state_ == sockClosing)
            DeliverData();
    });
    connect(&socket_, &QTcpSocket::bytesWritten, this, [this] { lastSendTick_ = TickCount(); });
}

TTcpSocket::~TTcpSocket()
{
    // The Qt socket outlives this object's other members while it is destroyed.
    QObject::disconnect(&socket_, nullptr, this, nullptr);
    CancelDnsLookup();
}

void TTcpSocket::SetLocalAddr(const QString& address)
{
    QHostAddress local;
    if (!local.setAddress(address))
        throw ESocketException(EADDRNOTAVAIL);
    local_ = local;
}

void TTcpSocket::DnsLookup(const QString& host)
{
    CancelDnsLookup();
    state_ = sockDnsLookup;
    lookupId_ = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        LookupFinished(info.lookupId(), info);
    });
}

void TTcpSocket::CancelDnsLookup()
{
    if (lookupId_ < 0)
        return;
    QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    state_ = sockClosed;
}

void TTcpSocket::LookupFinished(int id, const QHostInfo& info)
{
    if (id != lookupId_)
        return;  // cancelled, or overtaken by a newer lookup
    lookupId_ = -1;
    state_ = sockClosed;
    int error = info.error() == QHostInfo::NoError ? 0 : ErrorNumber(info.error());
    if (error == 0) {
        // Take an address that the local address can reach (IPv4 for 0.0.0.0).
        const auto addresses = info.addresses();
        const auto match = std::find_if(addresses.begin(), addresses.end(), [this](const QHostAddress& a) {
            return a.protocol() == local_.protocol();
        });
        if (match == addresses.end())
            error = sockErrHostNotFound;
        else
            address_ = *match;
    }
    if (OnDnsLookupDone)
        OnDnsLookupDone(error);
}

void TTcpSocket::Connect(const QString& port)
{
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number == 0 || number > 65535)
        throw ESocketException(EINVAL);
    Abort();
    if (!socket_.bind(local_, 0))
        throw ESocketException(ErrorNumber(socket_.error()));

    state_ = sockConnecting;
    closeError_ = 0;
    startError_.reset();
    starting_ = true;
    socket_.connectToHost(address_, static_cast<quint16>(number));
    starting_ = false;
    // A refusal that Qt reports inside connectToHost is still the outcome of
    // the attempt, delivered as its completion.
    if (startError_)
        Post([this, error = *startError_] { ConnectFailed(error); });
}

void TTcpSocket::QtConnected()
{
    if (state_ != sockConnecting)
        return;
    state_ = sockConnected;
    if (OnSessionConnected)
        OnSessionConnected(0);
}

void TTcpSocket::QtError(QAbstractSocket::SocketError error)
{
    const int number = ErrorNumber(error);
    if (state_ == sockConnecting) {
        if (starting_)
            startError_ = number;
        else
            ConnectFailed(number);
    } else {
        closeError_ = number;
    }
}

void TTcpSocket::ConnectFailed(int error)
{
    if (state_ != sockConnecting)
        return;
    state_ = sockClosed;
    socket_.abort();
    if (OnSessionConnected)
        OnSessionConnected(error);
    Post([this, error] {
        if (OnSessionClosed)
            OnSessionClosed(error);
    });
}

void TTcpSocket::QtStateChanged(QAbstractSocket::SocketState state)
{
    if (state != QAbstractSocket::UnconnectedState || (state_ != sockConnected && state_ != sockClosing))
        return;
    if (closing_)
        Post([this] { ReportClosed(closeError_); });  // not from inside Close()
    else
        ReportClosed(closeError_);
}

void TTcpSocket::DeliverData()
{
    if (inDataEvent_ || !OnDataAvailable)
        return;  // the running handler reads on until the socket is empty
    const std::uint64_t serial = serial_;
    inDataEvent_ = true;
    OnDataAvailable();
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
    const std::uint64_t serial = serial_;
    if (socket_.bytesAvailable() > 0)
        DeliverData();
    if (serial != serial_ || state_ == sockClosed)
        return;
    state_ = sockClosed;
    if (OnSessionClosed)
        OnSessionClosed(error);
}

void TTcpSocket::Send(const QByteArray& bytes)
{
    socket_.write(bytes);
}

qint64 TTcpSocket::Receive(char* buffer, qint64 max)
{
    // A handler of the data may have aborted the connection meanwhile.
    if (!socket_.isOpen())
        return 0;
    const qint64 count = socket_.read(buffer, max);
    return count < 0 ? 0 : count;
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
    if (socket_.state() == QAbstractSocket::UnconnectedState) {
        Post([this] { ReportClosed(closeError_); });
        return;
    }
    closing_ = true;
    socket_.disconnectFromHost();
    closing_ = false;
}

void TTcpSocket::Abort()
{
    ++serial_;
    CancelDnsLookup();
    state_ = sockClosed;
    closedWhileInData_.reset();
    socket_.abort();
}

void TTcpSocket::Post(std::function<void()> action)
{
    QMetaObject::invokeMethod(
        this,
        [this, serial = serial_, action = std::move(action)] {
            if (serial == serial_)
                action();
        },
        Qt::QueuedConnection);
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
