// THttpCli: the HTTP/1.0 client with which the update checker fetches files.
// GET and HEAD, direct or through an HTTP proxy, following relocations, the
// body streamed block by block to a caller's stream and to OnDocData. The
// synchronous Get, Head and Close wait on the sockets and serve the installed
// event pump (platform/EventPump.h) at least once a second meanwhile, so windows
// stay alive and event handlers (a Cancel button that calls Abort) run nested
// inside them. Texts are UTF-8.
//
// Relocations are counted once each: LocationChangeCurCount is the number of
// relocations followed (or attempted) in the current Get or Head, so with
// LocationChangeMaxCount 5 the sixth redirection in a row is not followed.
#pragma once

#include "http/HttpResponseReader.h"
#include "http/HttpUrl.h"
#include "http/RcvdStream.h"
#include "http/TcpSocket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex {

enum THttpRequest { httpABORT, httpGET, httpPOST, httpPUT, httpHEAD, httpCLOSE };

enum THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpBodyReceived,
    httpWaitingProxyConnect,
    httpClosing,
    httpAborting,
};

// Error codes of EHttpException raised before any network activity, and the
// request-done codes of OnRequestDone.
enum : std::uint16_t {
    httperrNoError = 0,
    httperrBusy = 1,
    httperrAborted = 3,
    httperrVersion = 5,
    httperrTimeout = 8,
    httperrBadResponse = 9,  // a response that cannot be read
    httperrBadRequestText = 10,  // a control character in a request text
    httperrSinkWrite = 11,  // the received data could not be written
};

class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& message, std::uint16_t errorCode);
    std::string Message() const { return what(); }
    std::uint16_t ErrorCode() const { return errorCode_; }

private:
    std::uint16_t errorCode_;
};

// The received data could not be written to the sink (a full disk, a file
// that cannot grow): not an HTTP failure, so it is no EHttpException. Reason
// is the sink's own text for it, e.g. "No space left on device".
class ERcvdStreamError : public std::runtime_error {
public:
    explicit ERcvdStreamError(const std::string& reason);
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

class THttpCli final : private THttpResponseEvents {
public:
    THttpCli();
    ~THttpCli() override;
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // The component's name, as the busy error names it.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value) { name_ = value; }

    // Settings.
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& value) { url_ = value; }
    const std::string& Proxy() const { return proxy_; }
    void SetProxy(const std::string& value) { proxy_ = value; }
    const std::string& ProxyPort() const { return proxyPort_; }
    void SetProxyPort(const std::string& value) { proxyPort_ = value; }
    const std::string& LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const std::string& value) { localAddr_ = value; }
    const std::string& Agent() const { return agent_; }
    void SetAgent(const std::string& value) { agent_ = value; }
    const std::string& Accept() const { return accept_; }
    void SetAccept(const std::string& value) { accept_ = value; }
    bool NoCache() const { return noCache_; }
    void SetNoCache(bool value) { noCache_ = value; }
    const std::string& RequestVer() const { return requestVer_; }
    // Only "1.0" and "1.1"; anything else raises "Insupported HTTP version".
    void SetRequestVer(const std::string& value);
    bool FollowRelocation() const { return followRelocation_; }
    void SetFollowRelocation(bool value) { followRelocation_ = value; }
    int LocationChangeMaxCount() const { return locationChangeMaxCount_; }
    void SetLocationChangeMaxCount(int value) { locationChangeMaxCount_ = value; }
    // Inactivity limit of a synchronous request, in seconds.
    unsigned Timeout() const { return timeout_; }
    void SetTimeout(unsigned seconds) { timeout_ = seconds; }
    // Sink of the response body, never owned. It is cut back when a
    // redirecting response's body has to be taken out of it.
    TRcvdStream* RcvdStream() const { return rcvdStream_; }
    void SetRcvdStream(TRcvdStream* stream) { rcvdStream_ = stream; }

    // Settings that add a request line when not empty.
    const std::string& Sender() const { return sender_; }
    void SetSender(const std::string& value) { sender_ = value; }
    const std::string& Reference() const { return reference_; }
    void SetReference(const std::string& value) { reference_ = value; }
    const std::string& Connection() const { return connection_; }
    void SetConnection(const std::string& value) { connection_ = value; }
    const std::string& ProxyConnection() const { return proxyConnection_; }
    void SetProxyConnection(const std::string& value) { proxyConnection_ = value; }
    const std::string& AcceptLanguage() const { return acceptLanguage_; }
    void SetAcceptLanguage(const std::string& value) { acceptLanguage_ = value; }
    const std::string& Cookie() const { return cookie_; }
    void SetCookie(const std::string& value) { cookie_ = value; }
    const std::string& ContentRangeBegin() const { return contentRangeBegin_; }
    void SetContentRangeBegin(const std::string& value) { contentRangeBegin_ = value; }
    const std::string& ContentRangeEnd() const { return contentRangeEnd_; }
    void SetContentRangeEnd(const std::string& value) { contentRangeEnd_ = value; }
    // A local date and time, sent as it is; nothing means none.
    std::optional<std::chrono::local_seconds> ModifiedSince() const { return modifiedSince_; }
    void SetModifiedSince(std::optional<std::chrono::local_seconds> value) { modifiedSince_ = value; }

    // Results.
    int StatusCode() const { return response_.StatusCode; }
    const std::string& ReasonPhrase() const { return response_.ReasonPhrase; }
    const std::vector<std::string>& RcvdHeader() const { return response_.Header; }
    std::int64_t RcvdCount() const { return response_.RcvdCount; }
    std::int64_t ContentLength() const { return response_.ContentLength; }
    const std::string& ContentType() const { return response_.ContentType; }
    const std::string& TransferCoding() const { return response_.TransferCoding; }
    const std::string& ContentCoding() const { return response_.ContentCoding; }
    const std::string& Location() const { return location_; }
    int LocationChangeCurCount() const { return locationChangeCurCount_; }
    THttpState State() const { return state_; }

    // Synchronous requests: they return when the request has completed,
    // failed or been aborted, and raise EHttpException when the final status
    // is 400 or more (but 401 and 407), ERcvdStreamError when the sink
    // refused the received data.
    void Get();
    void Head();
    void Close();
    void Abort();

    // Events; each is optional.
    std::function<void(THttpCli*)> OnStateChange;
    std::function<void(THttpCli*)> OnSessionConnected;
    std::function<void(THttpCli*)> OnRequestHeaderBegin;
    std::function<void(THttpCli*)> OnRequestHeaderEnd;
    std::function<void(THttpCli*, THttpRequest, std::vector<std::string>&)> OnBeforeHeaderSend;
    std::function<void(THttpCli*, std::string&)> OnCommand;
    std::function<void(THttpCli*)> OnHeaderBegin;
    std::function<void(THttpCli*)> OnHeaderEnd;
    std::function<void(THttpCli*)> OnHeaderData;
    std::function<void(THttpCli*)> OnDocBegin;
    std::function<void(THttpCli*, const char*, std::int64_t)> OnDocData;
    std::function<void(THttpCli*)> OnDocEnd;
    std::function<void(THttpCli*)> OnLocationChange;
    std::function<void(THttpCli*, int, bool&)> OnLocationChangeExceeded;
    std::function<void(THttpCli*)> OnSessionClosed;
    std::function<void(THttpCli*, THttpRequest, std::uint16_t)> OnRequestDone;
    std::function<void(THttpCli*, const std::string&, bool&)> OnCookie;
    std::function<void(THttpCli*)> OnDataPush2;

private:
    struct TEndpoint {
        std::string Host;
        std::string Port;
        std::string Scheme;
        bool operator==(const TEndpoint&) const = default;
    };
    enum TAfterClose { afterCloseNothing, afterCloseComplete, afterCloseRelocate };
    class TServingGuard;

    void RunSynchronously(THttpRequest request);
    void WaitUntilReady();
    void StartRequest(THttpRequest request);
    void StartClose();
    void CheckRequestTexts() const;
    void ResetResponse();
    void SetTarget(const std::string& url);
    // Where a request for the URL connects: its server, or the proxy.
    TEndpoint EndpointFor(const THttpUrl& url) const;
    bool CanReuseConnection() const;
    void SendOnOpenConnection();
    void Connect();
    void SendRequest();
    std::vector<std::string> RequestLines();

    void SocketDnsLookupDone(int error);
    void SocketSessionConnected(int error);
    void SocketDataAvailable();
    void SocketSessionClosed(int error);

    // THttpResponseEvents.
    void HeaderBegin() override;
    void HeaderNotHttp() override;
    void HeaderLocation(const std::string& value) override;
    void HeaderCookie(const std::string& value) override;
    void HeaderLine() override;
    void HeaderEnd() override;
    void NoBody() override;
    void BodyBegin() override;
    void BodyData(std::span<const char> block) override;
    void BodyEnd() override;
    void ResponseFailed(const std::string& reason) override;

    bool WriteToSink(std::span<const char> block);
    void CompleteAndRelease();
    void StartRelocation();
    void ProceedRelocation();
    void CutSinkBack();
    void CloseThen(TAfterClose next);

    // Each returns false when an event handler ended or replaced the request.
    bool SetState(THttpState state);
    void Fail(int status, const std::string& reason, std::uint16_t error);
    void Complete(std::uint16_t error = httperrNoError);
    void AbortWith(const std::string& reason, std::uint16_t error);
    void EnterReady();
    void DropConnection();
    template <typename Event, typename... Args>
    bool Raise(const Event& event, Args&&... args);

    // Settings.
    std::string name_;
    std::string url_;
    std::string proxy_;
    std::string proxyPort_ = "80";
    std::string localAddr_ = "0.0.0.0";
    std::string agent_ = "Mozilla/4.0 (compatible; Quorvex)";
    std::string accept_ = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    bool noCache_ = false;
    std::string requestVer_ = "1.0";
    bool followRelocation_ = true;
    int locationChangeMaxCount_ = 5;
    unsigned timeout_ = 30;
    TRcvdStream* rcvdStream_ = nullptr;
    std::string sender_;
    std::string reference_;
    std::string connection_;
    std::string proxyConnection_;
    std::string acceptLanguage_;
    std::string cookie_;
    std::string contentRangeBegin_;
    std::string contentRangeEnd_;
    std::optional<std::chrono::local_seconds> modifiedSince_;

    // Results and the state of one exchange.
    THttpResponse response_;
    std::string location_;
    int locationChangeCurCount_ = 0;
    THttpState state_ = httpReady;
    THttpRequest requestType_ = httpGET;
    std::uint16_t requestDoneError_ = httperrNoError;
    std::string sinkError_;  // why the sink refused data in the current request
    THttpUrl target_;  // the document asked for; scheme and path defaulted
    std::string requestPath_;  // as sent in the request line
    TEndpoint connectTo_;
    TEndpoint connected_;  // of the open connection
    bool relocation_ = false;
    TAfterClose afterClose_ = afterCloseNothing;
    bool readyPending_ = false;
    std::int64_t bodyStart_ = 0;  // sink position where the current document's body began
    // Advanced whenever the exchange is ended or replaced, so that a handler
    // that aborted, or a posted message that came late, changes nothing.
    std::uint64_t serial_ = 0;

    TTcpSocket socket_;
    THttpResponseReader reader_{response_, *this};
    // Reset by the destructor: posted actions of a destroyed client do nothing.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace quorvex
