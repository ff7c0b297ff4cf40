// THttpCli: the HTTP/1.0 client with which the update checker fetches files.
// GET and HEAD, direct or through an HTTP proxy, following relocations, the
// body streamed block by block to a caller's device and to OnDocData. The
// synchronous Get, Head and Close pump the application's event loop while
// they wait, so windows stay alive and event handlers (a Cancel button that
// calls Abort) run nested inside them.
//
// Relocations are counted once each: LocationChangeCurCount is the number of
// relocations followed (or attempted) in the current Get or Head, so with
// LocationChangeMaxCount 5 the sixth redirection in a row is not followed.
#pragma once

#include "http/HttpResponseReader.h"
#include "http/HttpUrl.h"
#include "http/TcpSocket.h"

#include <QDateTime>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace quorvex {

class TMessagePump;

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
    EHttpException(const QString& message, std::uint16_t errorCode);
    QString Message() const { return QString::fromStdString(what()); }
    std::uint16_t ErrorCode() const { return errorCode_; }

private:
    std::uint16_t errorCode_;
};

// The received data could not be written to the sink (a full disk, a file
// that cannot grow): not an HTTP failure, so it is no EHttpException. Reason
// is the sink's own text for it, e.g. "No space left on device".
class ERcvdStreamError : public std::runtime_error {
public:
    explicit ERcvdStreamError(const QString& reason);
    QString Reason() const { return reason_; }

private:
    QString reason_;
};

class THttpCli final : public QObject, private THttpResponseEvents {
public:
    explicit THttpCli(QObject* owner = nullptr);
    ~THttpCli() override;

    // Settings.
    QString URL() const { return url_; }
    void SetURL(const QString& value) { url_ = value; }
    QString Proxy() const { return proxy_; }
    void SetProxy(const QString& value) { proxy_ = value; }
    QString ProxyPort() const { return proxyPort_; }
    void SetProxyPort(const QString& value) { proxyPort_ = value; }
    QString LocalAddr() const { return localAddr_; }
    void SetLocalAddr(const QString& value) { localAddr_ = value; }
    QString Agent() const { return agent_; }
    void SetAgent(const QString& value) { agent_ = value; }
    QString Accept() const { return accept_; }
    void SetAccept(const QString& value) { accept_ = value; }
    bool NoCache() const { return noCache_; }
    void SetNoCache(bool value) { noCache_ = value; }
    QString RequestVer() const { return requestVer_; }
    // Only "1.0" and "1.1"; anything else raises "Insupported HTTP version".
    void SetRequestVer(const QString& value);
    bool FollowRelocation() const { return followRelocation_; }
    void SetFollowRelocation(bool value) { followRelocation_ = value; }
    int LocationChangeMaxCount() const { return locationChangeMaxCount_; }
    void SetLocationChangeMaxCount(int value) { locationChangeMaxCount_ = value; }
    // Inactivity limit of a synchronous request, in seconds.
    unsigned Timeout() const { return timeout_; }
    void SetTimeout(unsigned seconds) { timeout_ = seconds; }
    // Sink of the response body, never owned. A file or buffer is cut back
    // when a redirecting response's body has to be taken out of it.
    QIODevice* RcvdStream() const { return rcvdStream_; }
    void SetRcvdStream(QIODevice* stream) { rcvdStream_ = stream; }

    // Settings that add a request line when not empty.
    QString Sender() const { return sender_; }
    void SetSender(const QString& value) { sender_ = value; }
    QString Reference() const { return reference_; }
    void SetReference(const QString& value) { reference_ = value; }
    QString Connection() const { return connection_; }
    void SetConnection(const QString& value) { connection_ = value; }
    QString ProxyConnection() const { return proxyConnection_; }
    void SetProxyConnection(const QString& value) { proxyConnection_ = value; }
    QString AcceptLanguage() const { return acceptLanguage_; }
    void SetAcceptLanguage(const QString& value) { acceptLanguage_ = value; }
    QString Cookie() const { return cookie_; }
    void SetCookie(const QString& value) { cookie_ = value; }
    QString ContentRangeBegin() const { return contentRangeBegin_; }
    void SetContentRangeBegin(const QString& value) { contentRangeBegin_ = value; }
    QString ContentRangeEnd() const { return contentRangeEnd_; }
    void SetContentRangeEnd(const QString& value) { contentRangeEnd_ = value; }
    // A null date-time means none.
    QDateTime ModifiedSince() const { return modifiedSince_; }
    void SetModifiedSince(const QDateTime& value) { modifiedSince_ = value; }

    // Results.
    int StatusCode() const { return response_.StatusCode; }
    QString ReasonPhrase() const { return response_.ReasonPhrase; }
    QStringList RcvdHeader() const { return response_.Header; }
    std::int64_t RcvdCount() const { return response_.RcvdCount; }
    std::int64_t ContentLength() const { return response_.ContentLength; }
    QString ContentType() const { return response_.ContentType; }
    QString TransferCoding() const { return response_.TransferCoding; }
    QString ContentCoding() const { return response_.ContentCoding; }
    QString Location() const { return location_; }
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
    std::function<void(THttpCli*, THttpRequest, QStringList&)> OnBeforeHeaderSend;
    std::function<void(THttpCli*, QString&)> OnCommand;
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
    std::function<void(THttpCli*, const QString&, bool&)> OnCookie;
    std::function<void(THttpCli*)> OnDataPush2;

private:
    struct TEndpoint {
        QString Host;
        QString Port;
        QString Scheme;
        bool operator==(const TEndpoint&) const = default;
    };
    enum TAfterClose { afterCloseNothing, afterCloseComplete, afterCloseRelocate };

    void RunSynchronously(THttpRequest request);
    void WaitUntilReady();
    void StartRequest(THttpRequest request);
    void StartClose();
    void CheckRequestTexts() const;
    void ResetResponse();
    void SetTarget(const QString& url);
    // Where a request for the URL connects: its server, or the proxy.
    TEndpoint EndpointFor(const THttpUrl& url) const;
    bool CanReuseConnection() const;
    void SendOnOpenConnection();
    void Connect();
    void SendRequest();
    QStringList RequestLines();

    void SocketDnsLookupDone(int error);
    void SocketSessionConnected(int error);
    void SocketDataAvailable();
    void SocketSessionClosed(int error);

    // THttpResponseEvents.
    void HeaderBegin() override;
    void HeaderNotHttp() override;
    void HeaderLocation(const QString& value) override;
    void HeaderCookie(const QString& value) override;
    void HeaderLine() override;
    void HeaderEnd() override;
    void NoBody() override;
    void BodyBegin() override;
    void BodyData(std::span<const char> block) override;
    void BodyEnd() override;
    void ResponseFailed(const QString& reason) override;

    bool WriteToSink(std::span<const char> block);
    void CompleteAndRelease();
    void StartRelocation();
    void ProceedRelocation();
    void CutSinkBack();
    void CloseThen(TAfterClose next);

    // Each returns false when an event handler ended or replaced the request.
    bool SetState(THttpState state);
    void Fail(int status, const QString& reason, std::uint16_t error);
    void Complete(std::uint16_t error = httperrNoError);
    void AbortWith(const QString& reason, std::uint16_t error);
    void EnterReady();
    void DropConnection();
    template <typename Event, typename... Args>
    bool Raise(const Event& event, Args&&... args);

    // Settings.
    QString url_;
    QString proxy_;
    QString proxyPort_ = QStringLiteral("80");
    QString localAddr_ = QStringLiteral("0.0.0.0");
    QString agent_ = QStringLiteral("Mozilla/4.0 (compatible; Quorvex)");
    QString accept_ = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    bool noCache_ = false;
    QString requestVer_ = QStringLiteral("1.0");
    bool followRelocation_ = true;
    int locationChangeMaxCount_ = 5;
    unsigned timeout_ = 30;
    QIODevice* rcvdStream_ = nullptr;
    QString sender_;
    QString reference_;
    QString connection_;
    QString proxyConnection_;
    QString acceptLanguage_;
    QString cookie_;
    QString contentRangeBegin_;
    QString contentRangeEnd_;
    QDateTime modifiedSince_;

    // Results and the state of one exchange.
    THttpResponse response_;
    QString location_;
    int locationChangeCurCount_ = 0;
    THttpState state_ = httpReady;
    THttpRequest requestType_ = httpGET;
    std::uint16_t requestDoneError_ = httperrNoError;
    QString sinkError_;  // why the sink refused data in the current request
    THttpUrl target_;  // the document asked for; scheme and path defaulted
    QString requestPath_;  // as sent in the request line
    TEndpoint connectTo_;
    TEndpoint connected_;  // of the open connection
    bool relocation_ = false;
    TAfterClose afterClose_ = afterCloseNothing;
    bool readyPending_ = false;
    qint64 bodyStart_ = 0;  // sink position where the current document's body began
    // Advanced whenever the exchange is ended or replaced, so that a handler
    // that aborted, or a posted message that came late, changes nothing.
    std::uint64_t serial_ = 0;

    TTcpSocket socket_;
    THttpResponseReader reader_{response_, *this};
    std::vector<TMessagePump*> waits_;
};

}  // namespace quorvex
