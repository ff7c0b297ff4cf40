// The receiving half of the HTTP client: cuts the bytes of a response into the
// status line and header lines, interprets the header, frames the body (by
// Content-Length, by chunks, or by the connection's end) and hands each body
// block on as it arrives. It knows nothing of sockets: the client feeds it
// bytes and the connection's end, and reacts to its events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

enum THttpChunkState { httpChunkGetSize, httpChunkGetExt, httpChunkGetData, httpChunkSkipDataEnd, httpChunkDone };

// What the reader learns of a response.
struct THttpResponse {
    int StatusCode = 0;
    std::string ReasonPhrase;
    std::string Version;  // "1.0" or "1.1"
    // Lines of the header in arrival order, status line first, each without
    // its line end and read as Latin-1; the empty line that ends the header
    // is the last.
    std::vector<std::string> Header;
    std::int64_t ContentLength = -1;
    std::int64_t RcvdCount = 0;  // body bytes delivered, after chunk decoding
    std::string ContentType;  // lower-cased
    std::string TransferCoding;  // lower-cased
    std::string ContentCoding;
    std::string AcceptRanges;
    std::int64_t RangeBegin = -1;
    std::int64_t RangeEnd = -1;
    std::vector<std::string> WwwAuthenticate;
    std::vector<std::string> ProxyAuthenticate;
    // Whether the connection is to be closed after this response.
    bool CloseFlag = true;
};

// The reader's events, in the order they come for one response. After any of
// them the client may Reset the reader (an abort, a failure); the reader then
// stops at once and touches nothing more of that response.
class THttpResponseEvents {
public:
    virtual ~THttpResponseEvents() = default;

    virtual void HeaderBegin() = 0;
    // The first line is not an HTTP/1.0 or HTTP/1.1 status line.
    virtual void HeaderNotHttp() = 0;
    virtual void HeaderLocation(const std::string& value) = 0;
    virtual void HeaderCookie(const std::string& value) = 0;
    // A header line (the status line included) has been stored and interpreted.
    virtual void HeaderLine() = 0;
    virtual void HeaderEnd() = 0;
    // The header is complete and no body follows.
    virtual void NoBody() = 0;
    virtual void BodyBegin() = 0;
    // One block of body bytes, already counted in RcvdCount.
    virtual void BodyData(std::span<const char> block) = 0;
    virtual void BodyEnd() = 0;
    // The response cannot be read (oversized header, nonsense chunk size).
    virtual void ResponseFailed(const std::string& reason) = 0;
};

class THttpResponseReader {
public:
    // Limits of one response's header, interim 100 Continue headers included.
    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr int kMaxHeaderLines = 1000;
    // Free space offered for each read from the socket.
    static constexpr std::size_t kReadBlock = 64 * 1024;

    THttpResponseReader(THttpResponse& response, THttpResponseEvents& events);

    // Expects a new response to a request of the given kind; response fields
    // are left to the caller, who resets them.
    void Begin(bool headRequest, const std::string& requestVersion);
    // Ignores every byte until the next Begin.
    void Reset();

    // Room for the next read, at least kReadBlock bytes; Commit then says how
    // many bytes were written there and processes them.
    std::span<char> ReadSpace();
    void Commit(std::size_t count);
    // Copies and processes bytes (for callers that do not read into ReadSpace).
    void Feed(std::span<const char> bytes);

    // The connection has ended: a body read to the connection's end, or cut
    // short, is complete. Returns whether a body was being read.
    bool ConnectionClosed();

    THttpChunkState ChunkState() const { return chunkState_; }

private:
    enum TPhase { phaseIdle, phaseHeader, phaseBody };

    void Process();
    // Returns false when it needs more bytes or the header has failed.
    bool ProcessHeaderLine();
    void HeaderLine(const std::string& line);
    bool StatusLine(const std::string& line);
    void HeaderField(const std::string& line, std::size_t colon);
    void EndOfHeader();
    bool WantsBody() const;
    void ProcessBody();
    void ProcessChunked();
    void ChunkControlByte(char c);
    void Deliver(const char* data, std::size_t count);
    void EndOfBody();
    void Fail(const std::string& reason);
    std::size_t Pending() const { return end_ - start_; }

    THttpResponse& response_;
    THttpResponseEvents& events_;
    std::uint64_t generation_ = 0;  // advanced by Reset: stale loops stop

    std::vector<char> buffer_;
    std::size_t start_ = 0;  // first unprocessed byte
    std::size_t end_ = 0;  // end of received bytes

    TPhase phase_ = phaseIdle;
    bool headRequest_ = false;
    std::string requestVersion_;
    bool headerBegun_ = false;
    bool statusLineRead_ = false;
    std::size_t headerBytes_ = 0;
    int headerLines_ = 0;

    bool chunked_ = false;
    THttpChunkState chunkState_ = httpChunkGetSize;
    std::uint64_t chunkLength_ = 0;
    std::uint64_t chunkReceived_ = 0;
};

}  // namespace quorvex
