#include "http/HttpResponseReader.h"

#include "http/HttpText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvex {
namespace {

constexpr std::string_view kChunked = "chunked";

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A non-negative decimal number that fits in 64 bits, else -1.
std::int64_t ParseLength(std::string_view text)
{
    constexpr std::size_t kMaxDigits = 18;
    if (text.empty() || text.size() > kMaxDigits || !AllDigits(text))
        return -1;
    return std::stoll(std::string(text));
}

// "bytes <begin>-<end>/...": the range of a partial body, each number of at
// most 18 digits; false for any other value.
bool ParseContentRange(std::string_view value, std::int64_t& begin, std::int64_t& end)
{
    constexpr std::string_view kUnit = "bytes";
    if (!StartsWithNoCase(value, kUnit))
        return false;
    std::string_view rest = value.substr(kUnit.size());
    const std::string_view afterBlanks = TrimAscii(rest);
    if (afterBlanks.size() == rest.size())
        return false;  // no blank after the unit
    rest = rest.substr(rest.size() - afterBlanks.size());
    const std::size_t dash = rest.find('-');
    const std::size_t slash = rest.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
        return false;
    const std::string_view first = rest.substr(0, dash);
    const std::string_view second = rest.substr(dash + 1, slash - dash - 1);
    const std::int64_t from = ParseLength(first);
    const std::int64_t to = ParseLength(second);
    if (from < 0 || to < 0)
        return false;
    begin = from;
    end = to;
    return true;
}

// Statuses that never carry a body of unknown length.
bool IsBodilessStatus(int status)
{
    return status < 200 || status == 204 || status == 301 || status == 302 || status == 304 || status == 401
        || status == 407;
}

}  // namespace

THttpResponseReader::THttpResponseReader(THttpResponse& response, THttpResponseEvents& events)
    : response_(response), events_(events)
{
}

void THttpResponseReader::Begin(bool headRequest, const std::string& requestVersion)
{
    Reset();
    phase_ = phaseHeader;
    headRequest_ = headRequest;
    requestVersion_ = requestVersion;
    headerBegun_ = false;
    statusLineRead_ = false;
    headerBytes_ = 0;
    headerLines_ = 0;
}

void THttpResponseReader::Reset()
{
    ++generation_;
    phase_ = phaseIdle;
    start_ = end_ = 0;
}

std::span<char> THttpResponseReader::ReadSpace()
{
    if (buffer_.size() - end_ < kReadBlock) {
        if (start_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + start_, Pending());
            end_ -= start_;
            start_ = 0;
        }
        if (buffer_.size() - end_ < kReadBlock)
            buffer_.resize(end_ + kReadBlock);
    }
    return {buffer_.data() + end_, buffer_.size() - end_};
}

void THttpResponseReader::Commit(std::size_t count)
{
    end_ += count;
    Process();
}

void THttpResponseReader::Feed(std::span<const char> bytes)
{
    while (!bytes.empty()) {
        const std::span<char> space = ReadSpace();
        const std::size_t count = std::min(space.size(), bytes.size());
        std::memcpy(space.data(), bytes.data(), count);
        bytes = bytes.subspan(count);
        Commit(count);
    }
}

bool THttpResponseReader::ConnectionClosed()
{
    if (phase_ != phaseBody)
        return false;
    EndOfBody();
    return true;
}

void THttpResponseReader::Process()
{
    const std::uint64_t generation = generation_;
    while (generation == generation_ && Pending() > 0) {
        if (phase_ == phaseHeader) {
            if (!ProcessHeaderLine())
                break;
        } else if (phase_ == phaseBody) {
            ProcessBody();
        } else {
            start_ = end_;  // nothing expected: bytes after a complete response
        }
    }
    if (generation == generation_ && start_ == end_)
        start_ = end_ = 0;
}

bool THttpResponseReader::ProcessHeaderLine()
{
    const char* line = buffer_.data() + start_;
    const auto* lineFeed = static_cast<const char*>(std::memchr(line, '\n', Pending()));
    if (lineFeed == nullptr) {
        if (headerBytes_ + Pending() > kMaxHeaderBytes) {
            Fail("Response header too large");
            return false;
        }
        return false;
    }
    const auto length = static_cast<std::size_t>(lineFeed - line);
    const std::size_t textLength = length > 0 && line[length - 1] == '\r' ? length - 1 : length;
    start_ += length + 1;
    headerBytes_ += length + 1;
    if (headerBytes_ > kMaxHeaderBytes || ++headerLines_ > kMaxHeaderLines) {
        Fail("Response header too large");
        return false;
    }
    HeaderLine(std::string(line, textLength));
    return true;
}

// The line holds the bytes as received; what is stored is read as Latin-1.
void THttpResponseReader::HeaderLine(const std::string& line)
{
    // Blank lines before a status line are what a previous response on the
    // same connection left behind (the end of a chunked body).
    if (!headerBegun_ && line.empty())
        return;
    const std::uint64_t generation = generation_;
    if (!headerBegun_) {
        headerBegun_ = true;
        events_.HeaderBegin();
        if (generation != generation_)
            return;
    }
    response_.Header.push_back(DecodeLatin1(line));
    if (!statusLineRead_) {
        statusLineRead_ = true;
        if (!StatusLine(line)) {
            events_.HeaderNotHttp();
            return;
        }
    } else if (line.empty()) {
        EndOfHeader();
        return;
    } else if (const std::size_t colon = line.find(':'); colon != std::string::npos) {
        HeaderField(line, colon);
        if (generation != generation_)
            return;
    }
    events_.HeaderLine();
}

bool THttpResponseReader::StatusLine(const std::string& line)
{
    if (!line.starts_with("HTTP/1.0") && !line.starts_with("HTTP/1.1"))
        return false;
    // The status code is the three characters from the first digit at or
    // after the 10th character; the reason phrase follows one separator.
    constexpr std::size_t kCodeSearchStart = 9;
    std::size_t digit = kCodeSearchStart;
    while (digit < line.size() && !IsAsciiDigit(line[digit]))
        ++digit;
    const std::string_view code = std::string_view(line).substr(std::min(digit, line.size()), 3);
    if (code.size() != 3 || !AllDigits(code))
        return false;
    response_.Version = line.substr(5, 3);
    response_.StatusCode = std::stoi(std::string(code));
    response_.ReasonPhrase = DecodeLatin1(std::string_view(line).substr(std::min(digit + 4, line.size())));
    response_.CloseFlag = requestVersion_ != "1.1" || response_.Version != "1.1";
    return true;
}

void THttpResponseReader::HeaderField(const std::string& line, std::size_t colon)
{
    const std::string name = AsciiLower(std::string_view(line).substr(0, colon));
    std::size_t valueStart = colon + 1;
    while (valueStart < line.size() && (line[valueStart] == ' ' || line[valueStart] == '\t'))
        ++valueStart;
    const std::string value = DecodeLatin1(std::string_view(line).substr(valueStart));
    const std::string_view trimmed = TrimAscii(value);

    if (name == "location") {
        events_.HeaderLocation(std::string(trimmed));
    } else if (name == "content-length") {
        response_.ContentLength = ParseLength(trimmed);
    } else if (name == "transfer-encoding") {
        response_.TransferCoding = AsciiLower(trimmed);
    } else if (name == "content-range") {
        ParseContentRange(value, response_.RangeBegin, response_.RangeEnd);
    } else if (name == "accept-ranges") {
        response_.AcceptRanges = value;
    } else if (name == "content-type") {
        response_.ContentType = AsciiLower(value);
    } else if (name == "www-authenticate") {
        response_.WwwAuthenticate.push_back(value);
    } else if (name == "proxy-authenticate") {
        response_.ProxyAuthenticate.push_back(value);
    } else if (name == "set-cookie") {
        events_.HeaderCookie(value);
    } else if (name == "connection" || name == "proxy-connection") {
        const std::string option = AsciiLower(trimmed);
        if (option == "close")
            response_.CloseFlag = true;
        else if (option == "keep-alive")
            response_.CloseFlag = false;
    } else if (name == "content-encoding") {
        response_.ContentCoding = value;
    }
}

void THttpResponseReader::EndOfHeader()
{
    if (response_.Version == "1.1" && response_.StatusCode == 100) {
        response_.Header.clear();  // an interim answer: the real header follows
        headerBegun_ = false;
        statusLineRead_ = false;
        return;
    }
    const std::uint64_t generation = generation_;
    events_.HeaderEnd();
    if (generation != generation_)
        return;
    if (!WantsBody()) {
        phase_ = phaseIdle;
        start_ = end_;
        events_.NoBody();
        return;
    }
    phase_ = phaseBody;
    chunked_ = response_.TransferCoding == kChunked;
    chunkState_ = httpChunkGetSize;
    chunkLength_ = 0;
    chunkReceived_ = 0;
    events_.BodyBegin();
}

bool THttpResponseReader::WantsBody() const
{
    if (headRequest_)
        return false;
    // A chunked body frames itself: its Content-Length, if any, is ignored.
    if (response_.TransferCoding == kChunked)
        return true;
    if (response_.ContentLength >= 0)
        return response_.ContentLength > 0;
    return !IsBodilessStatus(response_.StatusCode);
}

void THttpResponseReader::ProcessBody()
{
    if (chunked_) {
        ProcessChunked();
        return;
    }
    std::size_t count = Pending();
    const bool lengthKnown = response_.ContentLength >= 0;
    if (lengthKnown)
        count = std::min<std::uint64_t>(count, static_cast<std::uint64_t>(response_.ContentLength - response_.RcvdCount));
    const char* data = buffer_.data() + start_;
    start_ += count;
    const std::uint64_t generation = generation_;
    Deliver(data, count);
    if (generation == generation_ && lengthKnown && response_.RcvdCount >= response_.ContentLength)
        EndOfBody();
}

void THttpResponseReader::ProcessChunked()
{
    const std::uint64_t generation = generation_;
    while (generation == generation_ && phase_ == phaseBody && Pending() > 0) {
        if (chunkState_ == httpChunkGetData) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(Pending(), chunkLength_ - chunkReceived_));
            const char* data = buffer_.data() + start_;
            start_ += count;
            chunkReceived_ += count;
            if (chunkReceived_ == chunkLength_)
                chunkState_ = httpChunkSkipDataEnd;
            Deliver(data, count);
        } else {
            ChunkControlByte(buffer_[start_++]);
        }
    }
}

void THttpResponseReader::ChunkControlByte(char c)
{
    switch (chunkState_) {
    case httpChunkGetSize:
        if (const int digit = HexValue(c); digit >= 0) {
            if (chunkLength_ > (std::numeric_limits<std::uint64_t>::max() >> 8)) {
                Fail("Invalid chunk size");
                return;
            }
            chunkLength_ = chunkLength_ * 16 + static_cast<std::uint64_t>(digit);
            return;
        }
        chunkState_ = httpChunkGetExt;
        [[fallthrough]];
    case httpChunkGetExt:
        if (c != '\n')
            return;
        if (chunkLength_ == 0) {
            chunkState_ = httpChunkDone;
            EndOfBody();
            return;
        }
        chunkReceived_ = 0;
        chunkState_ = httpChunkGetData;
        return;
    case httpChunkSkipDataEnd:
        if (c == '\n') {
            chunkLength_ = 0;
            chunkState_ = httpChunkGetSize;
        }
        return;
    case httpChunkGetData:
    case httpChunkDone:
        return;
    }
}

void THttpResponseReader::Deliver(const char* data, std::size_t count)
{
    if (count == 0)
        return;
    response_.RcvdCount += static_cast<std::int64_t>(count);
    events_.BodyData({data, count});
}

void THttpResponseReader::EndOfBody()
{
    phase_ = phaseIdle;
    start_ = end_;
    events_.BodyEnd();
}

void THttpResponseReader::Fail(const std::string& reason)
{
    phase_ = phaseIdle;
    start_ = end_;
    events_.ResponseFailed(reason);
}

}  // namespace quorvex
