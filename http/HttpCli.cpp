#include "http/HttpCli.h"

#include "platform/EventPump.h"
#include "http/HttpText.h"
#include "http/SocketLoop.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace quorvex {
namespace {

// The longest wait on the sockets between two servings of the installed
// pump, and between two looks at the time-out without one.
constexpr int kPumpSliceMs = 5;
constexpr int kIdleSliceMs = 250;
const std::string kHttp = "http";
const std::string kDefaultPort = "80";

bool IsFailureStatus(int status)
{
    return status >= 400 && status != 401 && status != 407;
}

// The HTTP date layout "Sat, 07 Mar 2009 14:05:09", in local time as the
// setting holds it.
std::string HttpDate(std::chrono::local_seconds date)
{
    static constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto day = std::chrono::floor<std::chrono::days>(date);
    const std::chrono::year_month_day calendar{day};
    const std::chrono::hh_mm_ss time{date - day};
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s, %02u %s %04d %02d:%02d:%02d",
                  kDays[std::chrono::weekday{day}.c_encoding()], static_cast<unsigned>(calendar.day()),
                  kMonths[static_cast<unsigned>(calendar.month()) - 1], static_cast<int>(calendar.year()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text.data();
}

std::string WithoutFragment(const std::string& url)
{
    return url.substr(0, url.find('#'));
}

}  // namespace

EHttpException::EHttpException(const std::string& message, std::uint16_t errorCode)
    : std::runtime_error(message), errorCode_(errorCode)
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

ERcvdStreamError::ERcvdStreamError(const std::string& reason)
    : std::runtime_error("Cannot write the received data: " + reason), reason_(reason)
{
}

THttpCli::THttpCli()
{
    socket_.OnDnsLookupDone = [this](int error) { SocketDnsLookupDone(error); };
    socket_.OnSessionConnected = [this](int error) { SocketSessionConnected(error); };
    socket_.OnDataAvailable = [this] { SocketDataAvailable(); };
    socket_.OnSessionClosed = [this](int error) { SocketSessionClosed(error); };
}

THttpCli::~THttpCli() = default;

void THttpCli::SetRequestVer(const std::string& value)
{
    if (value != "1.0" && value != "1.1")
        throw EHttpException("Insupported HTTP version", httperrVersion);
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
        AbortWith("Connection aborted on request", httperrAborted);
        return;
    }
    if (socket_.State() != TTcpSocket::sockClosed)
        DropConnection();
    response_.StatusCode = 200;
    response_.ReasonPhrase = "OK";
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
    if (!sinkError_.empty())
        throw ERcvdStreamError(std::exchange(sinkError_, std::string()));
    if (IsFailureStatus(response_.StatusCode))
        throw EHttpException(response_.ReasonPhrase, static_cast<std::uint16_t>(response_.StatusCode));
}

// While any request waits, the program's loop serves the sockets as well, so
// a loop that a handler runs (a modal window) does not hold the transfer up.
class THttpCli::TServingGuard {
public:
    explicit TServingGuard(TEventPump* pump) : pump_(pump)
    {
        if (pump_ != nullptr && depth_++ == 0)
            pump_->StartServing([] { TSocketLoop::ThisThread().RunOnce(0); });
    }
    ~TServingGuard()
    {
        if (pump_ != nullptr && --depth_ == 0)
            pump_->StopServing();
    }
    TServingGuard(const TServingGuard&) = delete;
    TServingGuard& operator=(const TServingGuard&) = delete;

private:
    static inline int depth_ = 0;  // requests waiting on this thread, nested
    TEventPump* pump_;
};

// Waits on the thread's sockets in slices; between them the installed pump
// serves the program's events, and the time-out is looked at.
void THttpCli::WaitUntilReady()
{
    TSocketLoop& loop = TSocketLoop::ThisThread();
    const TServingGuard serving(InstalledEventPump());
    const std::weak_ptr<char> alive = alive_;
    while (state_ != httpReady) {
        TEventPump* pump = InstalledEventPump();
        loop.RunOnce(pump != nullptr ? kPumpSliceMs : kIdleSliceMs);
        if (alive.expired() || state_ == httpReady)
            return;
        if (pump != nullptr && !pump->ServeOnce()) {
            if (!alive.expired() && state_ != httpReady)
                AbortWith("Request aborted", httperrAborted);
            return;
        }
        if (alive.expired() || state_ == httpReady)
            return;
        if (socket_.IdleMilliseconds() >= std::uint64_t{timeout_} * 1000)
            AbortWith("Request aborted on timeout", httperrTimeout);
    }
}

void THttpCli::StartRequest(THttpRequest request)
{
    if (state_ != httpReady)
        throw EHttpException("HTTP component " + name_ + " is busy", httperrBusy);
    CheckRequestTexts();
    locationChangeCurCount_ = 0;
    sinkError_.clear();
    requestType_ = request;
    ResetResponse();
    location_ = url_;
    relocation_ = false;
    bodyStart_ = rcvdStream_ != nullptr ? rcvdStream_->Position() : 0;
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
    response_.ReasonPhrase = "OK";
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
    const std::array<std::pair<const char*, const std::string*>, 13> texts{{
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
            throw EHttpException(std::string("Control character in ") + name, httperrBadRequestText);
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
    response_.CloseFlag = requestVer_ == "1.0";
}

void THttpCli::SetTarget(const std::string& url)
{
    const THttpUrl parsed = ParseUrl(url);
    target_ = parsed;
    if (target_.Scheme.empty())
        target_.Scheme = kHttp;
    if (target_.Path.empty())
        target_.Path = "/";

    connectTo_ = EndpointFor(parsed);
    // Through a proxy the request line names the whole URL.
    requestPath_ = proxy_.empty() ? target_.Path
                                  : target_.Scheme + "://" + parsed.Host
                                        + (parsed.Port.empty() ? std::string() : ":" + parsed.Port) + target_.Path;
}

THttpCli::TEndpoint THttpCli::EndpointFor(const THttpUrl& url) const
{
    const std::string scheme = url.Scheme.empty() ? kHttp : url.Scheme;
    if (proxy_.empty())
        return {url.Host, url.Port.empty() ? kDefaultPort : url.Port, scheme};
    THostPort proxy = SplitHostPort(proxy_, proxyPort_);
    if (proxy.Port.empty())
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
        Fail(404, "can't resolve hostname to IP address", static_cast<std::uint16_t>(error));
        return;
    }
    if (!SetState(httpDnsLookupDone))
        return;
    if (connectTo_.Scheme != kHttp) {
        Fail(501, "Protocol \"" + connectTo_.Scheme + "\" not implemented", httperrNoError);
        return;
    }
    try {
        socket_.Connect(connectTo_.Port);
    } catch (const ESocketException& e) {
        Fail(404, "can't connect: " + e.Message() + " (Error #" + std::to_string(e.ErrorCode()) + ")",
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
        response_.ReasonPhrase = SocketErrorText(error) + " (Error #" + std::to_string(error) + ")";
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
    std::vector<std::string> lines = RequestLines();
    if (!Raise(OnBeforeHeaderSend, this, requestType_, lines))
        return;
    std::string request;
    for (std::string line : lines) {
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

std::vector<std::string> THttpCli::RequestLines()
{
    const std::string method = requestType_ == httpHEAD ? "HEAD" : "GET";
    std::vector<std::string> lines{method + ' ' + requestPath_ + " HTTP/" + requestVer_};
    const auto addWhenSet = [&lines](const char* name, const std::string& value) {
        if (!value.empty())
            lines.push_back(name + value);
    };
    addWhenSet("From: ", sender_);
    addWhenSet("Accept: ", accept_);
    addWhenSet("Referer: ", reference_);
    addWhenSet("Connection: ", connection_);
    addWhenSet("Accept-Language: ", acceptLanguage_);
    addWhenSet("User-Agent: ", agent_);
    std::string host = "Host: " + target_.Host;
    if (!target_.Port.empty() && target_.Port != kDefaultPort)
        host += ':' + target_.Port;
    lines.push_back(host);
    if (noCache_)
        lines.push_back("Pragma: no-cache");
    addWhenSet("Proxy-Connection: ", proxyConnection_);
    if (modifiedSince_)
        lines.push_back("If-Modified-Since: " + HttpDate(*modifiedSince_) + " GMT");
    addWhenSet("Cookie: ", cookie_);
    if (!contentRangeBegin_.empty() || !contentRangeEnd_.empty()) {
        lines.push_back("Range: bytes=" + contentRangeBegin_ + '-' + contentRangeEnd_);
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
        const std::int64_t count = socket_.Receive(space.data(), static_cast<std::int64_t>(space.size()));
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
            Fail(404, "Connection closed before the end of the response header", httperrBadResponse);
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
        Fail(404, "Invalid response status line", httperrBadResponse);
}

void THttpCli::HeaderLocation(const std::string& value)
{
    if (!followRelocation_ || (requestType_ != httpGET && requestType_ != httpHEAD))
        return;
    relocation_ = true;
    location_ = ResolveLocation(value, target_);
}

void THttpCli::HeaderCookie(const std::string& value)
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
    bodyStart_ = rcvdStream_ != nullptr ? rcvdStream_->Position() : 0;
    Raise(OnDocBegin, this);
}

// Writes the whole block to the sink; a stream may take part of it at a
// time (a file on a disk that is filling up), and only a write that takes
// nothing tells why.
bool THttpCli::WriteToSink(std::span<const char> block)
{
    while (!block.empty()) {
        const std::int64_t written = rcvdStream_->Write(block);
        if (written <= 0) {
            sinkError_ = rcvdStream_->ErrorString();
            return false;
        }
        block = block.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void THttpCli::BodyData(std::span<const char> block)
{
    if (rcvdStream_ != nullptr && !WriteToSink(block)) {
        Fail(404, "Cannot write the received data: " + sinkError_, httperrSinkWrite);
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

void THttpCli::ResponseFailed(const std::string& reason)
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
        Fail(404, "Control character in Location", httperrBadRequestText);
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
    if (rcvdStream_ != nullptr)
        rcvdStream_->CutBack(bodyStart_);
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

void THttpCli::Fail(int status, const std::string& reason, std::uint16_t error)
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
    TSocketLoop::ThisThread().Post([this, alive = std::weak_ptr<char>(alive_), serial = serial_] {
        if (!alive.expired() && serial == serial_)
            EnterReady();
    });
}

void THttpCli::AbortWith(const std::string& reason, std::uint16_t error)
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
    if (OnStateChange)
        OnStateChange(this);
    // Reported from the program's own loop, or from the next wait without one.
    auto done = [this, alive = std::weak_ptr<char>(alive_), request = requestType_, error = requestDoneError_] {
        if (!alive.expired() && OnRequestDone)
            OnRequestDone(this, request, error);
    };
    if (TEventPump* pump = InstalledEventPump())
        pump->Post(std::move(done));
    else
        TSocketLoop::ThisThread().Post(std::move(done));
}

void THttpCli::DropConnection()
{
    socket_.Abort();
    connected_ = {};
}


}  // namespace quorvex
