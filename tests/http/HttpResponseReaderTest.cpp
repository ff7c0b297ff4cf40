#include "http/HttpResponseReader.h"

#include "http/HttpText.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace quorvex {
namespace {

// Records the reader's events; optionally resets the reader on the first body block.
class TRecorder final : public THttpResponseEvents {
public:
    THttpResponse response;
    THttpResponseReader reader{response, *this};
    std::string events;  // one letter per event
    std::string body;
    std::string failure;
    std::vector<std::string> locations;
    bool resetOnData = false;

    void Begin(bool head = false, const char* version = "1.0") { reader.Begin(head, version); }
    void Feed(std::string_view bytes) { reader.Feed(bytes); }

    void HeaderBegin() override { events += 'h'; }
    void HeaderNotHttp() override { events += 'x'; }
    void HeaderLocation(const std::string& value) override { locations.push_back(value); }
    void HeaderCookie(const std::string&) override { events += 'c'; }
    void HeaderLine() override {}
    void HeaderEnd() override { events += 'e'; }
    void NoBody() override { events += 'n'; }
    void BodyBegin() override { events += 'b'; }
    void BodyData(std::span<const char> block) override
    {
        body.append(block.data(), block.size());
        if (resetOnData)
            reader.Reset();
    }
    void BodyEnd() override { events += 'd'; }
    void ResponseFailed(const std::string& reason) override
    {
        events += 'f';
        failure = reason;
    }
};

struct TStatusCase {
    const char* line;
    bool valid;
    int status;
    const char* reason;
    const char* version;
};

void PrintTo(const TStatusCase& c, std::ostream* os)
{
    *os << c.line;
}

class StatusLine : public testing::TestWithParam<TStatusCase> {};

TEST_P(StatusLine, IsCutIntoVersionCodeAndReason)
{
    const TStatusCase& c = GetParam();
    TRecorder r;
    r.Begin();
    r.Feed(std::string(c.line) + "\r\n");
    EXPECT_EQ(r.events, c.valid ? "h" : "hx");
    if (!c.valid)
        return;
    EXPECT_EQ(r.response.StatusCode, c.status);
    EXPECT_EQ(r.response.ReasonPhrase, c.reason);
    EXPECT_EQ(r.response.Version, c.version);
    // Header lines are read as Latin-1.
    EXPECT_EQ(r.response.Header, std::vector<std::string>{DecodeLatin1(c.line)});
}

INSTANTIATE_TEST_SUITE_P(Lines, StatusLine,
                         testing::Values(TStatusCase{"HTTP/1.1 200 OK", true, 200, "OK", "1.1"},
                                         TStatusCase{"HTTP/1.0 404 Not Found", true, 404, "Not Found", "1.0"},
                                         TStatusCase{"HTTP/1.1   301 Moved", true, 301, "Moved", "1.1"},
                                         TStatusCase{"HTTP/1.0 204", true, 204, "", "1.0"},
                                         TStatusCase{"HTTP/1.1 200 caf\xe9", true, 200, "caf\xc3\xa9", "1.1"},
                                         TStatusCase{"HTTP/1.2 200 OK", false, 0, "", ""},
                                         TStatusCase{"http/1.1 200 OK", false, 0, "", ""},
                                         TStatusCase{"HTTP/1.1 2x0 OK", false, 0, "", ""},
                                         TStatusCase{"HTTP/1.1 20", false, 0, "", ""},
                                         TStatusCase{"SSH-2.0-server", false, 0, "", ""}));

struct TCloseCase {
    const char* requestVersion;
    const char* header;
    bool closeFlag;
};

void PrintTo(const TCloseCase& c, std::ostream* os)
{
    *os << c.requestVersion << " " << c.header;
}

class CloseFlag : public testing::TestWithParam<TCloseCase> {};

TEST_P(CloseFlag, FollowsTheVersionsAndTheConnectionHeader)
{
    const TCloseCase& c = GetParam();
    TRecorder r;
    r.Begin(false, c.requestVersion);
    r.Feed(std::string(c.header) + "Content-Length: 0\r\n\r\n");
    EXPECT_EQ(r.response.CloseFlag, c.closeFlag);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CloseFlag,
    testing::Values(TCloseCase{"1.0", "HTTP/1.1 200 OK\r\n", true}, TCloseCase{"1.1", "HTTP/1.0 200 OK\r\n", true},
                    TCloseCase{"1.1", "HTTP/1.1 200 OK\r\n", false},
                    TCloseCase{"1.0", "HTTP/1.0 200 OK\r\nConnection:  Keep-Alive \r\n", false},
                    TCloseCase{"1.1", "HTTP/1.1 200 OK\r\nproxy-connection: CLOSE\r\n", true},
                    TCloseCase{"1.1", "HTTP/1.1 200 OK\r\nConnection: upgrade\r\n", false}));

TEST(ResponseHeader, RecognisedNamesAreCaseInsensitiveAndSetTheirResults)
{
    TRecorder r;
    r.Begin(true);
    r.Feed("HTTP/1.1 206 Partial\r\n"
           "CONTENT-LENGTH:   42 \r\n"
           "Content-Type: Text/HTML; Charset=UTF-8\r\n"
           "transfer-encoding: Identity\r\n"
           "Content-Range: bytes 10-51/100\r\n"
           "Accept-Ranges: bytes\r\n"
           "Content-Encoding: gzip\r\n"
           "WWW-Authenticate: Basic realm=\"a\"\r\n"
           "Set-Cookie: id=1\r\n"
           "Location:  /elsewhere \r\n"
           "X-Without-Colon\r\n"
           "\r\n");
    EXPECT_EQ(r.response.ContentLength, 42);
    EXPECT_EQ(r.response.ContentType, std::string("text/html; charset=utf-8"));
    EXPECT_EQ(r.response.TransferCoding, std::string("identity"));
    EXPECT_EQ(r.response.RangeBegin, 10);
    EXPECT_EQ(r.response.RangeEnd, 51);
    EXPECT_EQ(r.response.AcceptRanges, std::string("bytes"));
    EXPECT_EQ(r.response.ContentCoding, std::string("gzip"));
    EXPECT_EQ(r.response.WwwAuthenticate, std::vector<std::string>{"Basic realm=\"a\""});
    EXPECT_EQ(r.locations, std::vector<std::string>{"/elsewhere"});
    EXPECT_EQ(r.events, "hcen");  // a HEAD response has no body
    EXPECT_EQ(r.response.Header.size(), 12);
    EXPECT_EQ(r.response.Header.back(), "");
}

class ContentLengthValue : public testing::TestWithParam<std::pair<const char*, std::int64_t>> {};

TEST_P(ContentLengthValue, IsADecimalNumberOrMinusOne)
{
    TRecorder r;
    r.Begin(true);
    r.Feed(std::string("HTTP/1.0 200 OK\r\nContent-Length: ") + GetParam().first + "\r\n\r\n");
    EXPECT_EQ(r.response.ContentLength, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, ContentLengthValue,
                         testing::Values(std::pair{"0", 0}, std::pair{"268435456", 268435456},
                                         std::pair{"12abc", -1}, std::pair{"-5", -1}, std::pair{"", -1},
                                         std::pair{"99999999999999999999", -1}));

struct TBodyCase {
    const char* name;
    bool head;
    const char* header;
    bool body;
};

void PrintTo(const TBodyCase& c, std::ostream* os)
{
    *os << c.name;
}

class BodyDecision : public testing::TestWithParam<TBodyCase> {};

TEST_P(BodyDecision, ReadsABodyOnlyWhenOneCanFollow)
{
    const TBodyCase& c = GetParam();
    TRecorder r;
    r.Begin(c.head);
    r.Feed(std::string(c.header) + "\r\n");
    EXPECT_EQ(r.events, c.body ? "heb" : "hen");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BodyDecision,
    testing::Values(TBodyCase{"Head", true, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n", false},
                    TBodyCase{"LengthZero", false, "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n", false},
                    TBodyCase{"LengthKnown", false, "HTTP/1.0 404 Not Found\r\nContent-Length: 5\r\n", true},
                    TBodyCase{"UntilClose", false, "HTTP/1.0 200 OK\r\n", true},
                    TBodyCase{"Chunked", false, "HTTP/1.1 302 Found\r\nTransfer-Encoding: chunked\r\n", true},
                    TBodyCase{"NoContent", false, "HTTP/1.1 204 No Content\r\n", false},
                    TBodyCase{"Moved", false, "HTTP/1.0 301 Moved\r\n", false},
                    TBodyCase{"Found", false, "HTTP/1.0 302 Found\r\n", false},
                    TBodyCase{"SeeOther", false, "HTTP/1.0 303 See Other\r\n", true},
                    TBodyCase{"NotModified", false, "HTTP/1.0 304 Not Modified\r\n", false},
                    TBodyCase{"Unauthorized", false, "HTTP/1.0 401 Unauthorized\r\n", false},
                    TBodyCase{"ProxyAuth", false, "HTTP/1.0 407 Proxy\r\n", false},
                    TBodyCase{"Informational", false, "HTTP/1.0 101 Switching\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kChunkedHeader = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
const std::string kChunkedBody = "5;name=value\r\nHello\r\n19\r\n, chunked bodies are here\r\n0\r\n\r\n";
const std::string kDecoded = "Hello, chunked bodies are here";

TEST(ChunkedBody, IsReassembledWhereverTheReadsSplitIt)
{
    const std::string message = kChunkedHeader + kChunkedBody;
    for (std::size_t split = 0; split <= message.size(); ++split) {
        TRecorder r;
        r.Begin();
        r.Feed(std::string_view(message).substr(0, split));
        r.Feed(std::string_view(message).substr(split));
        EXPECT_EQ(r.body, kDecoded) << "split at " << split;
        EXPECT_EQ(r.events, "hebd") << "split at " << split;
        EXPECT_EQ(r.response.RcvdCount, static_cast<std::int64_t>(kDecoded.size()));
        EXPECT_EQ(r.reader.ChunkState(), httpChunkDone);
    }
}

TEST(ChunkedBody, IsReassembledFromSingleBytes)
{
    TRecorder r;
    r.Begin();
    for (char c : kChunkedHeader + kChunkedBody)
        r.Feed(std::string_view(&c, 1));
    EXPECT_EQ(r.body, kDecoded);
    EXPECT_EQ(r.events, "hebd");
}

TEST(ChunkedBody, IgnoresAContentLengthBesideIt)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n" + kChunkedBody);
    EXPECT_EQ(r.body, kDecoded);
}

TEST(ChunkedBody, ASizeTooLargeForSixtyFourBitsFails)
{
    TRecorder r;
    r.Begin();
    r.Feed(kChunkedHeader + "123456789abcdef01\r\n");
    EXPECT_EQ(r.events, "hebf");
    EXPECT_EQ(r.failure, std::string("Invalid chunk size"));
}

TEST(LengthBody, EndsAtTheLengthAndDropsWhatFollows)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcdEXTRA");
    r.Feed("MORE");
    EXPECT_EQ(r.body, "abcd");
    EXPECT_EQ(r.events, "hebd");
    EXPECT_FALSE(r.reader.ConnectionClosed());
}

TEST(LengthBody, CutShortEndsWhenTheConnectionCloses)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    EXPECT_TRUE(r.reader.ConnectionClosed());
    EXPECT_EQ(r.body, "abc");
    EXPECT_EQ(r.events, "hebd");
}

TEST(UntilCloseBody, TakesEverythingUntilTheConnectionEnds)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.0 200 OK\n\nline one\r\nline two");
    EXPECT_EQ(r.events, "heb");
    EXPECT_TRUE(r.reader.ConnectionClosed());
    EXPECT_EQ(r.body, "line one\r\nline two");
    EXPECT_EQ(r.response.ContentLength, -1);
}

TEST(InterimResponse, HundredContinueOnHttp11IsSkipped)
{
    TRecorder r;
    r.Begin(false, "1.1");
    r.Feed("HTTP/1.1 100 Continue\r\nX-A: 1\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    EXPECT_EQ(r.response.StatusCode, 200);
    EXPECT_EQ(r.response.Header.front(), std::string("HTTP/1.1 200 OK"));
    EXPECT_EQ(r.body, "ok");
    EXPECT_EQ(r.events, "hhebd");
}

TEST(InterimResponse, HundredOnHttp10IsTheFinalAnswer)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.0 100 Continue\r\n\r\n");
    EXPECT_EQ(r.response.StatusCode, 100);
    EXPECT_EQ(r.events, "hen");
}

TEST(HeaderLimits, AnOverlongLineFailsBeforeItsEnd)
{
    TRecorder r;
    r.Begin();
    r.Feed("HTTP/1.0 200 OK\r\nX-Big: " + std::string(THttpResponseReader::kMaxHeaderBytes, 'a'));
    EXPECT_EQ(r.events, "hf");
    EXPECT_EQ(r.failure, std::string("Response header too large"));
}

TEST(HeaderLimits, TooManyLinesFail)
{
    TRecorder r;
    r.Begin();
    std::string header = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < THttpResponseReader::kMaxHeaderLines; ++i)
        header += "X: 1\r\n";
    r.Feed(header);
    EXPECT_EQ(r.events, "hf");
}

TEST(HeaderLimits, ALargeButReasonableHeaderIsRead)
{
    TRecorder r;
    r.Begin(true);
    std::string header = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < 900; ++i)
        header += "X-Line: " + std::string(50, 'v') + "\r\n";
    r.Feed(header + "\r\n");
    EXPECT_EQ(r.events, "hen");
    EXPECT_EQ(r.response.Header.size(), 902);
}

TEST(Reset, StopsTheReaderInsideAnEvent)
{
    TRecorder r;
    r.resetOnData = true;
    r.Begin();
    r.Feed(kChunkedHeader + kChunkedBody);
    EXPECT_EQ(r.body, "Hello");
    EXPECT_EQ(r.events, "heb");
    r.Feed("HTTP/1.0 200 OK\r\n\r\n");  // ignored until the next Begin
    EXPECT_EQ(r.events, "heb");
}

TEST(Reader, BlankLinesBeforeTheStatusLineAreSkipped)
{
    TRecorder r;
    r.Begin();
    r.Feed("\r\n\r\nHTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nz");
    EXPECT_EQ(r.response.StatusCode, 200);
    EXPECT_EQ(r.body, "z");
}

}  // namespace
}  // namespace quorvex
