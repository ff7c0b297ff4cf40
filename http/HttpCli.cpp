#include "http/HttpCli.h"

#include "http/HttpText.h"
#include "http/MessagePump.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileDevice>
#include <QLocale>

#include <algorithm>
#include <array>
#include <utility>

namespace quorvex {
namespace {

constexpr int kPumpMilliseconds = 1000;
const QString kHttp = QStringLiteral("http");
const QString kDefaultPort = QStringLiteral("80");

bool IsFailureStatus(int status)
{
    return status >= 400 && status != 401 && status != 407;
}

// The HTTP date layout, in local time as the setting holds it.
QString HttpDate(const QDateTime& date)
{
    return QLocale::c().toString(date, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"));
}

QString WithoutFragment(const QString& url)
{
    const qsizetype hash = url.indexOf(QLatin1Char('#'));
    return hash < 0 ? url : url.left(hash);
}

}  // namespace

EHttpException::EHttpException(const QString& message, std::uint16_t errorCode)
    : std::runtime_error(message.toStdString()), errorCode_(errorCode)
{
}

template <typename Event, typename... Args>
bool THttpCli::Raise(const Event& event, Args&&... args)
{
    const std::uint64_t serial = serial_;
    if (event)
        event(std::forward<Args>(args)...);
    return serial == serial_;
}

ERcvdStreamError::ERcvdStreamError(const QString& reason)
    : std::runtime_error(QStringLiteral("Cannot write the received data: %1").arg(reason).toStdString()), reason_(reason)
{
}

THttpCli::THttpCli(QObject* owner) : QObject(owner)
{
    socket_.OnDnsLookupDone = [this](int error) { SocketDnsLookupDone(error); };
    socket_.OnSessionConnected = [this](int error) { SocketSessionConnected(error); };
    socket_.OnDataAvailable = [this] { SocketDataAvailable(); };
    socket_.OnSessionClosed = [this](int error) { SocketSessionClosed(error); };
}

THttpCli::~THttpCli() = default;

void THttpCli::SetRequestVer(const QString& value)
{
    if (value != QLatin1String("1.0") && value != QLatin1String("1.1"))
        throw EHttpException(QStringLiteral("Insupported HTTP version"), httperrVersion);
    requestVer_ = value;
}

void THttpCli::Get()
{
    RunSynchronously(httpGET);
}

void THttpCli::Head()
{
    RunSynchronously(httpHEAD);
}

void THttpCli::Close()
{
    RunSynchronously(httpCLOSE);
}

void THttpCli::Abort()
{
    if (state_ != httpReady) {
        AbortWith(QStringLiteral("Connection aborted on request"), httperrAborted);
        return;
    }
    if (socket_.State() != TTcpSocket::sockClosed)
        DropConnection();
    response_.StatusCode = 200;
    response_.ReasonPhrase = QStringLiteral("OK");
    requestDoneError_ = httperrNoError;
    EnterReady();
}

void THttpCli::RunSynchronously(THttpRequest request)
{
    if (request == httpCLOSE)
        StartClose();
    else
        StartRequest(request);
    socket_.MarkRequestStart();
    WaitUntilReady();
    if (!sinkError_.isEmpty())
        throw ERcvdStreamError(std::exchange(sinkError_, QString()));
    if (IsFailureStatus(response_.StatusCode))
        throw EHttpException(response_.ReasonPhrase, static_cast<std::uint16_t>(response_.StatusCode));
}

void THttpCli::WaitUntilReady()
{
    while (state_ != httpReady) {
        TMessagePump pump;
        waits_.push_back(&pump);
        const TMessagePump::TResult result = pump.Wait(kPumpMilliseconds);
        std::erase(waits_, &pump);
        if (state_ == httpReady)
            return;
        if (result == TMessagePump::pumpLoopEnded || QCoreApplication::closingDown())
            AbortWith(QStringLiteral("Request aborted"), httperrAborted);
        else if (socket_.IdleMilliseconds() >= std::uint64_t{timeout_} * 1000)
            AbortWith(QStringLiteral("Request aborted on timeout"), httperrTimeout);
    }
}

void THttpCli::StartRequest(THttpRequest request)
{
    if (state_ != httpReady)
        throw EHttpException(QStringLiteral("HTTP component %1 is busy").arg(objectName()), httperrBusy);
    CheckRequestTexts();
    locationChangeCurCount_ = 0;
    sinkError_.clear();
    requestType_ = request;
    ResetResponse();
    location_ = url_;
    relocation_ = false;
    bodyStart_ = rcvdStream_ != nullptr ? rcvdStream_->pos() : 0;
    SetTarget(url_);
    if (CanReuseConnection()) {
        SendOnOpenConnection();
        return;
    }
    DropConnection();
    if (SetState(httpNotConnected))
        Connect();
}

void THttpCli::StartClose()
{
    requestType_ = httpCLOSE;
    ResetResponse();
    response_.StatusCode = 200;
    response_.ReasonPhrase = QStringLiteral("OK");
    if (!SetState(httpClosing))
        return;
    const TTcpSocket::TState socketState = socket_.State();
    if (socketState == TTcpSocket::sockConnected || socketState == TTcpSocket::sockClosing) {
        afterClose_ = afterCloseComplete;
        socket_.Close();
        return;
    }
    DropConnection();
    Complete();
}

// A URL, a proxy or a setting from an update file must not be able to end a
// request line early and add lines of its own.
void THttpCli::CheckRequestTexts() const
{
    const std::array<std::pair<const char*, const QString*>, 13> texts{{
        {"URL", &url_},
        {"Proxy", &proxy_},
        {"ProxyPort", &proxyPort_},
        {"Agent", &agent_},
        {"Accept", &accept_},
        {"Sender", &sender_},
        {"Reference", &reference_},
        {"Connection", &connection_},
        {"ProxyConnection", &proxyConnection_},
        {"AcceptLanguage", &acceptLanguage_},
        {"Cookie", &cookie_},
        {"ContentRangeBegin", &contentRangeBegin_},
        {"ContentRangeEnd", &contentRangeEnd_},
    }};
    for (const auto& [name, text] : texts) {
        if (HasControlCharacter(*text))
            throw EHttpException(QStringLiteral("Control character in %1").arg(QLatin1String(name)),
                                 httperrBadRequestText);
    }
}

void THttpCli::ResetResponse()
{
    ++serial_;
    readyPending_ = false;
    afterClose_ = afterCloseNothing;
    requestDoneError_ = httperrNoError;
    reader_.Reset();
    response_ = THttpResponse{};
    response_.CloseFlag = requestVer_ == QLatin1String("1.0");
}

void THttpCli::SetTarget(const QString& url)
{
    const THttpUrl parsed = ParseUrl(url);
    target_ = parsed;
    if (target_.Scheme.isEmpty())
        target_.Scheme = kHttp;
    if (target_.Path.isEmpty())
        target_.Path = QStringLiteral("/");

    connectTo_ = EndpointFor(parsed);
    // Through a proxy the request line names the whole URL.
    requestPath_ = proxy_.isEmpty() ? target_.Path
                                    : target_.Scheme + QLatin1String("://") + parsed.Host
                                          + (parsed.Port.isEmpty() ? QString() : QLatin1Char(':') + parsed.Port)
                                          + target_.Path;
}

THttpCli::TEndpoint THttpCli::EndpointFor(const THttpUrl& url) const
{
    const QString scheme = url.Scheme.isEmpty() ? kHttp : url.Scheme;
    if (proxy_.isEmpty())
        return {url.Host, url.Port.isEmpty() ? kDefaultPort : url.Port, scheme};
    THostPort proxy = SplitHostPort(proxy_, proxyPort_);
    if (proxy.Port.isEmpty())
        proxy.Port = proxyPort_;
    return {proxy.Host, proxy.Port, scheme};
}

bool THttpCli::CanReuseConnection() const
{
    return socket_.State() == TTcpSocket::sockConnected && connectTo_ == connected_;
}

void THttpCli::SendOnOpenConnection()
{
    if (SetState(httpConnected) && Raise(OnSessionConnected, this) && SetState(httpWaitingHeader))
        SendRequest();
}

void THttpCli::Connect()
{
    if (!SetState(httpDnsLookup))
        return;
    try {
        socket_.SetLocalAddr(localAddr_);
        socket_.DnsLookup(connectTo_.Host);
    } catch (const ESocketException& e) {
        Fail(404, e.Message(), static_cast<std::uint16_t>(e.ErrorCode()));
    }
}

void THttpCli::SocketDnsLookupDone(int error)
{
    if (state_ != httpDnsLookup || readyPending_)
        return;
    if (error != 0) {
        Fail(404, QStringLiteral("can't resolve hostname to IP address"), static_cast<std::uint16_t>(error));
        return;
    }
    if (!SetState(httpDnsLookupDone))
        return;
    if (connectTo_.Scheme != kHttp) {
        Fail(501, QStringLiteral("Protocol \"%1\" not implemented").arg(connectTo_.Scheme), httperrNoError);
        return;
    }
    try {
        socket_.Connect(connectTo_.Port);
    } catch (const ESocketException& e) {
        Fail(404, QStringLiteral("can't connect: %1 (Error #%2)").arg(e.Message()).arg(e.ErrorCode()),
             static_cast<std::uint16_t>(e.ErrorCode()));
    }
}

void THttpCli::SocketSessionConnected(int error)
{
    if (state_ != httpDnsLookupDone || readyPending_)
        return;
    if (error != 0) {
        // The request ends when the socket reports the attempt closed.
        response_.StatusCode = 404;
        response_.ReasonPhrase = QStringLiteral("%1 (Error #%2)").arg(SocketErrorText(error)).arg(error);
        requestDoneError_ = static_cast<std::uint16_t>(error);
        afterClose_ = afterCloseComplete;
        Raise(OnSessionConnected, this);
        return;
    }
    connected_ = connectTo_;
    SendOnOpenConnection();
}

void THttpCli::SendRequest()
{
    if (!Raise(OnRequestHeaderBegin, this))
        return;
    QStringList lines = RequestLines();
    if (!Raise(OnBeforeHeaderSend, this, requestType_, lines))
        return;
    QByteArray request;
    for (QString line : std::as_const(lines)) {
        if (!Raise(OnCommand, this, line))
            return;
        request += EncodeAnsi(line) + "\r\n";
    }
    if (!Raise(OnRequestHeaderEnd, this))
        return;
    request += "\r\n";
    reader_.Begin(requestType_ == httpHEAD, requestVer_);
    socket_.Send(request);
}

QStringList THttpCli::RequestLines()
{
    const QString method = requestType_ == httpHEAD ? QStringLiteral("HEAD") : QStringLiteral("GET");
    QStringList lines{method + QLatin1Char(' ') + requestPath_ + QLatin1String(" HTTP/") + requestVer_};
    const auto addWhenSet = [&lines](const char* name, const QString& value) {
        if (!value.isEmpty())
            lines.append(QLatin1String(name) + value);
    };
    addWhenSet("From: ", sender_);
    addWhenSet("Accept: ", accept_);
    addWhenSet("Referer: ", reference_);
    addWhenSet("Connection: ", connection_);
    addWhenSet("Accept-Language: ", acceptLanguage_);
    addWhenSet("User-Agent: ", agent_);
    QString host = QStringLiteral("Host: ") + target_.Host;
    if (!target_.Port.isEmpty() && target_.Port != kDefaultPort)
        host += QLatin1Char(':') + target_.Port;
    lines.append(host);
    if (noCache_)
        lines.append(QStringLiteral("Pragma: no-cache"));
    addWhenSet("Proxy-Connection: ", proxyConnection_);
    if (modifiedSince_.isValid())
        lines.append(QStringLiteral("If-Modified-Since: ") + HttpDate(modifiedSince_) + QLatin1String(" GMT"));
    addWhenSet("Cookie: ", cookie_);
    if (!contentRangeBegin_.isEmpty() || !contentRangeEnd_.isEmpty()) {
        lines.append(QStringLiteral("Range: bytes=") + contentRangeBegin_ + QLatin1Char('-') + contentRangeEnd_);
        contentRangeBegin_.clear();
        contentRangeEnd_.clear();
    }
    return lines;
}

void THttpCli::SocketDataAvailable()
{
    for (;;) {
        if (readyPending_ || (state_ != httpWaitingHeader && state_ != httpWaitingBody)) {
            // Nothing is expected: what still arrives belongs to no request.
            std::array<char, 4096> scratch{};
            while (socket_.Receive(scratch.data(), scratch.size()) > 0) {
            }
            return;
        }
        const std::span<char> space = reader_.ReadSpace();
        const qint64 count = socket_.Receive(space.data(), static_cast<qint64>(space.size()));
        if (count <= 0)
            return;
        reader_.Commit(static_cast<std::size_t>(count));
    }
}

void THttpCli::SocketSessionClosed(int error)
{
    if (!Raise(OnSessionClosed, this) || state_ == httpReady || readyPending_)
        return;
    switch (afterClose_) {
    case afterCloseComplete:
        Complete(requestDoneError_);
        return;
    case afterCloseRelocate:
        afterClose_ = afterCloseNothing;
        ProceedRelocation();
        return;
    case afterCloseNothing:
        break;
    }
    if (reader_.ConnectionClosed())
        return;  // a body read to the connection's end, or cut short
    if (state_ == httpWaitingHeader) {
        if (relocation_)
            StartRelocation();
        else
            Fail(404, QStringLiteral("Connection closed before the end of the response header"), httperrBadResponse);
        return;
    }
    Complete(static_cast<std::uint16_t>(error));
}

void THttpCli::HeaderBegin()
{
    Raise(OnHeaderBegin, this);
}

void THttpCli::HeaderNotHttp()
{
    if (Raise(OnDataPush2, this))
        Fail(404, QStringLiteral("Invalid response status line"), httperrBadResponse);
}

void THttpCli::HeaderLocation(const QString& value)
{
    if (!followRelocation_ || (requestType_ != httpGET && requestType_ != httpHEAD))
        return;
    relocation_ = true;
    location_ = ResolveLocation(value, target_);
}

void THttpCli::HeaderCookie(const QString& value)
{
    bool accept = true;
    Raise(OnCookie, this, value, accept);
}

void THttpCli::HeaderLine()
{
    Raise(OnHeaderData, this);
}

void THttpCli::HeaderEnd()
{
    Raise(OnHeaderEnd, this);
}

void THttpCli::NoBody()
{
    if (relocation_)
        StartRelocation();
    else if (response_.CloseFlag)
        CloseThen(afterCloseComplete);
    else
        Complete();
}

void THttpCli::BodyBegin()
{
    if (!SetState(httpWaitingBody))
        return;
    bodyStart_ = rcvdStream_ != nullptr ? rcvdStream_->pos() : 0;
    Raise(OnDocBegin, this);
}

// Writes the whole block to the sink; a device may take part of it at a
// time (a file on a disk that is filling up), and only a write that takes
// nothing tells why.
bool THttpCli::WriteToSink(std::span<const char> block)
{
    while (!block.empty()) {
        const qint64 written = rcvdStream_->write(block.data(), static_cast<qint64>(block.size()));
        if (written <= 0) {
            sinkError_ = rcvdStream_->errorString();
            return false;
        }
        block = block.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void THttpCli::BodyData(std::span<const char> block)
{
    if (rcvdStream_ != nullptr && !WriteToSink(block)) {
        Fail(404, QStringLiteral("Cannot write the received data: %1").arg(sinkError_), httperrSinkWrite);
        return;
    }
    Raise(OnDocData, this, block.data(), static_cast<std::int64_t>(block.size()));
}

void THttpCli::BodyEnd()
{
    if (!SetState(httpBodyReceived) || !Raise(OnDocEnd, this))
        return;
    if (relocation_) {
        StartRelocation();
        return;
    }
    CompleteAndRelease();
}

void THttpCli::ResponseFailed(const QString& reason)
{
    Fail(404, reason, httperrBadResponse);
}

void THttpCli::CompleteAndRelease()
{
    const bool close = response_.CloseFlag;
    Complete();
    if (close)
        socket_.CloseDelayed();
}

void THttpCli::StartRelocation()
{
    ++locationChangeCurCount_;
    if (locationChangeCurCount_ > locationChangeMaxCount_) {
        bool allow = false;
        if (!Raise(OnLocationChangeExceeded, this, locationChangeCurCount_, allow))
            return;
        if (!allow) {
            // The redirecting response is the result.
            relocation_ = false;
            CompleteAndRelease();
            return;
        }
    }
    const bool sameEndpoint = EndpointFor(ParseUrl(WithoutFragment(location_))) == connected_;
    if (response_.CloseFlag || !sameEndpoint)
        CloseThen(afterCloseRelocate);
    else
        ProceedRelocation();
}

void THttpCli::ProceedRelocation()
{
    if (!Raise(OnLocationChange, this))
        return;
    if (HasControlCharacter(location_)) {
        Fail(404, QStringLiteral("Control character in Location"), httperrBadRequestText);
        return;
    }
    ResetResponse();
    CutSinkBack();
    relocation_ = false;
    SetTarget(WithoutFragment(location_));
    if (CanReuseConnection()) {
        SendOnOpenConnection();
        return;
    }
    DropConnection();
    Connect();
}

// Takes the redirecting response's body back out of the sink.
void THttpCli::CutSinkBack()
{
    if (rcvdStream_ == nullptr || rcvdStream_->isSequential())
        return;
    if (auto* file = qobject_cast<QFileDevice*>(rcvdStream_))
        file->resize(bodyStart_);
    else if (auto* buffer = qobject_cast<QBuffer*>(rcvdStream_))
        buffer->buffer().truncate(bodyStart_);
    rcvdStream_->seek(bodyStart_);
}

void THttpCli::CloseThen(TAfterClose next)
{
    if (socket_.State() == TTcpSocket::sockClosed) {
        if (next == afterCloseRelocate)
            ProceedRelocation();
        else
            Complete();
        return;
    }
    afterClose_ = next;
    socket_.CloseDelayed();
}

bool THttpCli::SetState(THttpState state)
{
    if (state_ == state)
        return true;
    state_ = state;
    return Raise(OnStateChange, this);
}

void THttpCli::Fail(int status, const QString& reason, std::uint16_t error)
{
    response_.StatusCode = status;
    response_.ReasonPhrase = reason;
    DropConnection();
    Complete(error);
}

// The client becomes ready through a message it posts to itself.
void THttpCli::Complete(std::uint16_t error)
{
    ++serial_;
    readyPending_ = true;
    afterClose_ = afterCloseNothing;
    requestDoneError_ = error;
    reader_.Reset();
    QMetaObject::invokeMethod(
        this,
        [this, serial = serial_] {
            if (serial == serial_)
                EnterReady();
        },
        Qt::QueuedConnection);
}

void THttpCli::AbortWith(const QString& reason, std::uint16_t error)
{
    SetState(httpAborting);
    socket_.CancelDnsLookup();
    response_.StatusCode = 404;
    response_.ReasonPhrase = reason;
    requestDoneError_ = error;
    DropConnection();
    EnterReady();
}

void THttpCli::EnterReady()
{
    ++serial_;
    readyPending_ = false;
    afterClose_ = afterCloseNothing;
    reader_.Reset();
    state_ = httpReady;
    for (TMessagePump* wait : waits_)
        wait->Wake();
    if (OnStateChange)
        OnStateChange(this);
    QMetaObject::invokeMethod(
        this,
        [this, request = requestType_, error = requestDoneError_] {
            if (OnRequestDone)
                OnRequestDone(this, request, error);
        },
        Qt::QueuedConnection);
}

void THttpCli::DropConnection()
{
    socket_.Abort();
    connected_ = {};
}


}  // namespace quorvex
