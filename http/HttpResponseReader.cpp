#include "http/HttpResponseReader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorvex {
namespace {

const QString kChunked = QStringLiteral("chunked");

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
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
std::int64_t ParseLength(const QString& text)
{
    constexpr qsizetype kMaxDigits = 18;
    if (text.isEmpty() || text.size() > kMaxDigits || !std::all_of(text.begin(), text.end(), IsAsciiDigit))
        return -1;
    return text.toLongLong();
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

void THttpResponseReader::Begin(bool headRequest, const QString& requestVersion)
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
            Fail(QStringLiteral("Response header too large"));
            return false;
        }
        return false;
    }
    const auto length = static_cast<std::size_t>(lineFeed - line);
    const std::size_t textLength = length > 0 && line[length - 1] == '\r' ? length - 1 : length;
    start_ += length + 1;
    headerBytes_ += length + 1;
    if (headerBytes_ > kMaxHeaderBytes || ++headerLines_ > kMaxHeaderLines) {
        Fail(QStringLiteral("Response header too large"));
        return false;
    }
    HeaderLine(QString::fromLatin1(line, static_cast<qsizetype>(textLength)));
    return true;
}

void THttpResponseReader::HeaderLine(const QString& line)
{
    // Blank lines before a status line are what a previous response on the
    // same connection left behind (the end of a chunked body).
    if (!headerBegun_ && line.isEmpty())
        return;
    const std::uint64_t generation = generation_;
    if (!headerBegun_) {
        headerBegun_ = true;
        events_.HeaderBegin();
        if (generation != generation_)
            return;
    }
    response_.Header.append(line);
    if (!statusLineRead_) {
        statusLineRead_ = true;
        if (!StatusLine(line)) {
            events_.HeaderNotHttp();
            return;
        }
    } else if (line.isEmpty()) {
        EndOfHeader();
        return;
    } else if (const qsizetype colon = line.indexOf(QLatin1Char(':')); colon >= 0) {
        HeaderField(line, colon);
        if (generation != generation_)
            return;
    }
    events_.HeaderLine();
}

bool THttpResponseReader::StatusLine(const QString& line)
{
    if (!line.startsWith(QLatin1String("HTTP/1.0")) && !line.startsWith(QLatin1String("HTTP/1.1")))
        return false;
    // The status code is the three characters from the first digit at or
    // after the 10th character; the reason phrase follows one separator.
    constexpr qsizetype kCodeSearchStart = 9;
    qsizetype digit = kCodeSearchStart;
    while (digit < line.size() && !IsAsciiDigit(line[digit]))
        ++digit;
    const QString code = line.mid(digit, 3);
    if (code.size() != 3 || !std::all_of(code.begin(), code.end(), IsAsciiDigit))
        return false;
    response_.Version = line.mid(5, 3);
    response_.StatusCode = code.toInt();
    response_.ReasonPhrase = line.mid(digit + 4);
    response_.CloseFlag = requestVersion_ != QLatin1String("1.1") || response_.Version != QLatin1String("1.1");
    return true;
}

void THttpResponseReader::HeaderField(const QString& line, qsizetype colon)
{
    const QString name = line.left(colon).toLower();
    qsizetype valueStart = colon + 1;
    while (valueStart < line.size() && (line[valueStart] == QLatin1Char(' ') || line[valueStart] == QLatin1Char('\t')))
        ++valueStart;
    const QString value = line.mid(valueStart);

    if (name == QLatin1String("location")) {
        events_.HeaderLocation(value.trimmed());
    } else if (name == QLatin1String("content-length")) {
        response_.ContentLength = ParseLength(value.trimmed());
    } else if (name == QLatin1String("transfer-encoding")) {
        response_.TransferCoding = value.trimmed().toLower();
    } else if (name == QLatin1String("content-range")) {
        static const QRegularExpression range(QStringLiteral("^bytes\\s+(\\d{1,18})-(\\d{1,18})/"),
                                              QRegularExpression::CaseInsensitiveOption);
        if (const auto match = range.match(value); match.hasMatch()) {
            response_.RangeBegin = match.captured(1).toLongLong();
            response_.RangeEnd = match.captured(2).toLongLong();
        }
    } else if (name == QLatin1String("accept-ranges")) {
        response_.AcceptRanges = value;
    } else if (name == QLatin1String("content-type")) {
        response_.ContentType = value.toLower();
    } else if (name == QLatin1String("www-authenticate")) {
        response_.WwwAuthenticate.append(value);
    } else if (name == QLatin1String("proxy-authenticate")) {
        response_.ProxyAuthenticate.append(value);
    } else if (name == QLatin1String("set-cookie")) {
        events_.HeaderCookie(value);
    } else if (name == QLatin1String("connection") || name == QLatin1String("proxy-connection")) {
        const QString option = value.trimmed().toLower();
        if (option == QLatin1String("close"))
            response_.CloseFlag = true;
        else if (option == QLatin1String("keep-alive"))
            response_.CloseFlag = false;
    } else if (name == QLatin1String("content-encoding")) {
        response_.ContentCoding = value;
    }
}

void THttpResponseReader::EndOfHeader()
{
    if (response_.Version == QLatin1String("1.1") && response_.StatusCode == 100) {
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
                Fail(QStringLiteral("Invalid chunk size"));
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

void THttpResponseReader::Fail(const QString& reason)
{
    phase_ = phaseIdle;
    start_ = end_;
    events_.ResponseFailed(reason);
}

}  // namespace quorvex
