#include "http/HttpCli.h"

#include "ScriptedServer.h"
#include "Sinks.h"
#include "TestEventLoop.h"
#include "http/TcpListener.h"
#include "platform/Socket.h"
#include "platform/SocketSystem.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

namespace quorvex {
namespace {

using test::Response;
using test::TScriptedServer;
using test::TStopwatch;
using test::TTestEventLoop;
using test::TTestTimer;

const std::string kFiveLines = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                              "User-Agent: Mozilla/4.0 (compatible; Quorvex)\r\n";

struct TOutcome {
    bool raised = false;
    std::string message;
    int code = 0;
};

// Runs a request the way the update checker does and records what it raised.
TOutcome Request(THttpCli& cli, void (THttpCli::*request)() = &THttpCli::Get)
{
    try {
        (cli.*request)();
        return {};
    } catch (const EHttpException& e) {
        return {true, e.Message(), e.ErrorCode()};
    }
}

void PumpEvents()
{
    TTestEventLoop::Current().ProcessEvents();
    TTestEventLoop::Current().ProcessEvents();
}

std::string Repeated(const std::string& text, int times)
{
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// A client configured like the update windows', writing into a memory sink.
class HttpCliTest : public testing::Test {
protected:
    HttpCliTest()
    {
        cli.SetName("HttpCli1");
        cli.SetNoCache(true);
        cli.SetRcvdStream(&sink);
    }

    const std::string& Body() const { return sink.Data(); }

    TScriptedServer server;
    THttpCli cli;
    test::TStringSink sink;
};

struct TStatusCase {
    const char* name;
    std::string response;
    int status;
    const char* reason;
    bool raises;
};

void PrintTo(const TStatusCase& c, std::ostream* os)
{
    *os << c.name;
}

class Status : public HttpCliTest, public testing::WithParamInterface<TStatusCase> {};

TEST_P(Status, EndsTheRequestAndRaisesOnlyForFailures)
{
    const TStatusCase& c = GetParam();
    server.Connection().Respond(c.response);
    cli.SetURL(server.Url("/doc"));
    const TOutcome outcome = Request(cli);
    EXPECT_EQ(cli.StatusCode(), c.status);
    EXPECT_EQ(cli.ReasonPhrase(), std::string(c.reason));
    EXPECT_EQ(outcome.raised, c.raises);
    if (c.raises) {
        EXPECT_EQ(outcome.message, std::string(c.reason));
        EXPECT_EQ(outcome.code, c.status);
    }
    EXPECT_EQ(cli.State(), httpReady);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, Status,
    testing::Values(TStatusCase{"Ok11", Response("HTTP/1.1 200 OK", "hello"), 200, "OK", false},
                    TStatusCase{"NotFound", Response("HTTP/1.0 404 Not Found", "gone"), 404, "Not Found", true},
                    TStatusCase{"BadRequest", Response("HTTP/1.0 400 Bad Request", ""), 400, "Bad Request", true},
                    TStatusCase{"ServerError", Response("HTTP/1.0 500 Internal Server Error", "x"), 500,
                                "Internal Server Error", true},
                    TStatusCase{"Unauthorized", "HTTP/1.0 401 Unauthorized\r\n\r\n", 401, "Unauthorized", false},
                    TStatusCase{"ProxyAuth", "HTTP/1.0 407 Proxy Authentication Required\r\n\r\n", 407,
                                "Proxy Authentication Required", false},
                    TStatusCase{"NotModified", "HTTP/1.0 304 Not Modified\r\n\r\n", 304, "Not Modified", false},
                    TStatusCase{"FoundWithoutLocation", "HTTP/1.0 302 Found\r\n\r\n", 302, "Found", false},
                    TStatusCase{"NoContent", "HTTP/1.1 204 No Content\r\n\r\n", 204, "No Content", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpCliTest, UpdateWindowSettingsSendFiveLinesAndTheEmptyLine)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "[Quorvex]\r\nVersion=1.0.5.0\r\n"));
    cli.SetURL(server.Url("/QuorvexUpdate.txt"));
    Request(cli);
    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_EQ(server.Requests()[0], "GET /QuorvexUpdate.txt HTTP/1.0\r\n" + kFiveLines + "Host: 127.0.0.1:"
                                        + std::to_string(server.Port()) + "\r\nPragma: no-cache\r\n\r\n");
    EXPECT_EQ(Body(), "[Quorvex]\r\nVersion=1.0.5.0\r\n");
    EXPECT_EQ(cli.RcvdCount(), static_cast<std::int64_t>(Body().size()));
    EXPECT_EQ(cli.ContentLength(), static_cast<std::int64_t>(Body().size()));
    EXPECT_EQ(cli.Location(), server.Url("/QuorvexUpdate.txt"));
}

struct TProxyCase {
    const char* url;
    const char* requestLine;
    const char* hostLine;
};

void PrintTo(const TProxyCase& c, std::ostream* os)
{
    *os << c.url;
}

class ThroughProxy : public HttpCliTest, public testing::WithParamInterface<TProxyCase> {};

// The scripted server plays the proxy, so no name is ever resolved.
TEST_P(ThroughProxy, NamesTheWholeUrlAndTheTargetsHost)
{
    const TProxyCase& c = GetParam();
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "via proxy"));
    cli.SetURL(c.url);
    cli.SetProxy("127.0.0.1");
    cli.SetProxyPort(std::to_string(server.Port()));
    Request(cli);
    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_EQ(server.Requests()[0], std::string(c.requestLine) + "\r\n" + kFiveLines + c.hostLine
                                        + "\r\nPragma: no-cache\r\n\r\n");
    EXPECT_EQ(Body(), "via proxy");
}

INSTANTIATE_TEST_SUITE_P(
    Urls, ThroughProxy,
    testing::Values(TProxyCase{"http://quorvex.example.com/QuorvexUpdate.txt",
                               "GET http://quorvex.example.com/QuorvexUpdate.txt HTTP/1.0", "Host: quorvex.example.com"},
                    TProxyCase{"http://site.example:80/", "GET http://site.example:80/ HTTP/1.0", "Host: site.example"},
                    TProxyCase{"http://site.example:8080/a?b=c", "GET http://site.example:8080/a?b=c HTTP/1.0",
                               "Host: site.example:8080"},
                    TProxyCase{"site.example", "GET http://site.example/ HTTP/1.0", "Host: site.example"}));

TEST_F(HttpCliTest, AProxyMayNameItsOwnPort)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "ok"));
    cli.SetURL(std::string("http://site.example/f"));
    cli.SetProxy("127.0.0.1:" + std::to_string(server.Port()));
    cli.SetProxyPort(std::string("1"));
    Request(cli);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(Body(), "ok");
}

TEST_F(HttpCliTest, OptionalLinesComeInTheirOrderAndEventsMayChangeThem)
{
    server.Connection().Respond(Response("HTTP/1.1 200 OK", "x"));
    cli.SetURL(server.Url("/o"));
    cli.SetRequestVer(std::string("1.1"));
    cli.SetSender(std::string("me@example.com"));
    cli.SetReference(std::string("http://from.example/"));
    cli.SetConnection(std::string("close"));
    cli.SetAcceptLanguage(std::string("en"));
    cli.SetProxyConnection(std::string("Keep-Alive"));
    cli.SetModifiedSince(std::chrono::local_days{std::chrono::year{2009} / 3 / 7} + std::chrono::hours{14}
                         + std::chrono::minutes{5} + std::chrono::seconds{9});
    cli.SetCookie(std::string("a=1"));
    cli.SetContentRangeBegin(std::string("100"));
    std::string order;
    cli.OnRequestHeaderBegin = [&](THttpCli*) { order += 'B'; };
    cli.OnBeforeHeaderSend = [&](THttpCli*, THttpRequest method, std::vector<std::string>& lines) {
        order += method == httpGET ? 'S' : '?';
        lines.push_back("X-Added: yes");
    };
    cli.OnCommand = [&](THttpCli*, std::string& line) {
        order += 'c';
        if (line.starts_with("User-Agent:"))
            line = "User-Agent: Changed";
    };
    cli.OnRequestHeaderEnd = [&](THttpCli*) { order += 'E'; };
    Request(cli);

    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_EQ(server.Requests()[0], "GET /o HTTP/1.1\r\n"
                                    "From: me@example.com\r\n"
                                    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                                    "Referer: http://from.example/\r\n"
                                    "Connection: close\r\n"
                                    "Accept-Language: en\r\n"
                                    "User-Agent: Changed\r\n"
                                    "Host: 127.0.0.1:"
                                        + std::to_string(server.Port())
                                        + "\r\n"
                                          "Pragma: no-cache\r\n"
                                          "Proxy-Connection: Keep-Alive\r\n"
                                          "If-Modified-Since: Sat, 07 Mar 2009 14:05:09 GMT\r\n"
                                          "Cookie: a=1\r\n"
                                          "Range: bytes=100-\r\n"
                                          "X-Added: yes\r\n\r\n");
    EXPECT_EQ(order, "BS" + std::string(14, 'c') + "E");
    EXPECT_TRUE(cli.ContentRangeBegin().empty());  // a range is sent once
}

TEST_F(HttpCliTest, HeadReadsTheLengthAndNoBody)
{
    server.Connection().ReadRequest().Send("HTTP/1.1 200 OK\r\nContent-Length: 268435456\r\n\r\nstray bytes");
    cli.SetURL(server.Url("/big.bin"));
    int docBegins = 0;
    cli.OnDocBegin = [&](THttpCli*) { ++docBegins; };
    Request(cli, &THttpCli::Head);
    EXPECT_TRUE(server.Requests()[0].starts_with("HEAD /big.bin HTTP/1.0\r\n"));
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ContentLength(), 268435456);
    EXPECT_NE(std::ranges::find(cli.RcvdHeader(), "Content-Length: 268435456"), cli.RcvdHeader().end());
    EXPECT_EQ(docBegins, 0);
    EXPECT_EQ(cli.RcvdCount(), 0);
    EXPECT_TRUE(Body().empty());
}

TEST_F(HttpCliTest, ZeroLengthBodyRaisesNoDocumentEvents)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", ""));
    cli.SetURL(server.Url("/empty"));
    std::string events;
    cli.OnDocBegin = [&](THttpCli*) { events += 'b'; };
    cli.OnDocEnd = [&](THttpCli*) { events += 'd'; };
    cli.OnHeaderEnd = [&](THttpCli*) { events += 'e'; };
    Request(cli);
    EXPECT_EQ(events, "e");
    EXPECT_TRUE(Body().empty());
}

TEST_F(HttpCliTest, ChunkedBodyArrivingByteByByteIsReassembled)
{
    const std::string response = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                "4;ext=1\r\nWiki\r\n6\r\npedia \r\nE\r\nin \r\n\r\nchunks.\r\n0\r\n\r\n";
    server.Connection().ReadRequest().SendInPieces(response, 1, 1).Close();
    cli.SetURL(server.Url("/chunked"));
    std::vector<std::int64_t> counts;
    cli.OnDocData = [&](THttpCli* sender, const char*, std::int64_t) { counts.push_back(sender->RcvdCount()); };
    Request(cli);
    EXPECT_EQ(Body(), "Wikipedia in \r\n\r\nchunks.");
    EXPECT_EQ(cli.TransferCoding(), std::string("chunked"));
    EXPECT_GT(counts.size(), 3u);  // the body arrived in many blocks
    EXPECT_EQ(counts.back(), static_cast<std::int64_t>(Body().size()));
}

TEST_F(HttpCliTest, BodyUntilCloseAndBytesBeyondTheLength)
{
    server.Connection().Respond("HTTP/1.0 200 OK\r\n\r\nno length given");
    server.Connection().Respond("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nfive and more");
    cli.SetURL(server.Url("/a"));
    Request(cli);
    EXPECT_EQ(Body(), "no length given");
    EXPECT_EQ(cli.ContentLength(), -1);
    sink.Clear();
    Request(cli);
    EXPECT_EQ(Body(), "five ");
}

TEST_F(HttpCliTest, ConnectionClosedMidBodyEndsTheDocumentWithoutError)
{
    server.Connection().ReadRequest().Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nabcd").Close();
    cli.SetURL(server.Url("/cut"));
    int docEnds = 0;
    cli.OnDocEnd = [&](THttpCli*) { ++docEnds; };
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(Body(), "abcd");
    EXPECT_EQ(cli.RcvdCount(), 4);
    EXPECT_EQ(docEnds, 1);
}

TEST_F(HttpCliTest, InterimContinueIsSkippedOnHttp11)
{
    server.Connection().Respond("HTTP/1.1 100 Continue\r\n\r\n" + Response("HTTP/1.1 200 OK", "final"));
    cli.SetURL(server.Url("/c"));
    cli.SetRequestVer(std::string("1.1"));
    Request(cli);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.RcvdHeader().front(), std::string("HTTP/1.1 200 OK"));
    EXPECT_EQ(Body(), "final");
}

TEST_F(HttpCliTest, KeptAliveConnectionCarriesTheNextRequest)
{
    server.Connection()
        .ReadRequest()
        .Send(Response("HTTP/1.1 200 OK", "one"))
        .ReadRequest()
        .Send(Response("HTTP/1.1 200 OK", "two"));
    cli.SetRequestVer(std::string("1.1"));
    cli.SetURL(server.Url("/1"));
    Request(cli);
    cli.SetURL(server.Url("/2"));
    Request(cli);
    EXPECT_EQ(Body(), "onetwo");
    EXPECT_EQ(server.ConnectionsAccepted(), 1);
    ASSERT_EQ(server.Requests().size(), 2);
    EXPECT_TRUE(server.Requests()[1].starts_with("GET /2 HTTP/1.1\r\n"));
}

TEST_F(HttpCliTest, EventsComeInTheirOrderAndRequestDoneIsPosted)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "body", "Set-Cookie: k=v\r\n"));
    cli.SetURL(server.Url("/e"));
    std::string events;
    std::vector<std::pair<THttpRequest, std::uint16_t>> done;
    cli.OnSessionConnected = [&](THttpCli*) { events += 'C'; };
    cli.OnHeaderBegin = [&](THttpCli*) { events += 'h'; };
    cli.OnHeaderData = [&](THttpCli*) { events += '.'; };
    cli.OnCookie = [&](THttpCli*, const std::string& data, bool&) { events += data == "k=v" ? 'k' : '?'; };
    cli.OnHeaderEnd = [&](THttpCli*) { events += 'e'; };
    cli.OnDocBegin = [&](THttpCli*) { events += 'b'; };
    cli.OnDocData = [&](THttpCli*, const char*, std::int64_t) { events += 'd'; };
    cli.OnDocEnd = [&](THttpCli*) { events += 'E'; };
    cli.OnRequestDone = [&](THttpCli*, THttpRequest request, std::uint16_t error) {
        done.emplace_back(request, error);
    };
    Request(cli);
    EXPECT_EQ(events, "Ch..k.ebdE");
    EXPECT_TRUE(done.empty());  // delivered later, through the event loop
    PumpEvents();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].first, httpGET);
    EXPECT_EQ(done[0].second, httperrNoError);
}

// Relocation.

TEST_F(HttpCliTest, RedirectBodyNeverReachesTheSink)
{
    server.Connection().Respond(Response("HTTP/1.0 302 Found", "<html>moved</html>", "Location: /new/place\r\n"));
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "the real document"));
    cli.SetURL(server.Url("/old"));
    int changes = 0;
    cli.OnLocationChange = [&](THttpCli*) { ++changes; };
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised);
    EXPECT_EQ(Body(), "the real document");
    EXPECT_EQ(cli.Location(), server.Url("/new/place"));
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.RcvdCount(), 17);
    EXPECT_EQ(cli.LocationChangeCurCount(), 1);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(server.Requests().size(), 2);
    EXPECT_TRUE(server.Requests()[1].starts_with("GET /new/place HTTP/1.0\r\n"));
}

struct TRelocationCase {
    const char* name;
    const char* from;
    const char* location;  // "%1" stands for the server's port
    const char* requestLine;
    const char* finalLocation;
};

void PrintTo(const TRelocationCase& c, std::ostream* os)
{
    *os << c.name;
}

class RelocationTarget : public HttpCliTest, public testing::WithParamInterface<TRelocationCase> {};

TEST_P(RelocationTarget, IsAbsoluteHostRelativeOrPathRelative)
{
    const TRelocationCase& c = GetParam();
    const std::string port = std::to_string(server.Port());
    const std::string location = ReplaceAll(c.location, "%1", port);
    server.Connection().Respond("HTTP/1.0 301 Moved Permanently\r\nLocation: " + location + "\r\n\r\n");
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "here"));
    cli.SetURL(server.Url(c.from));
    Request(cli);
    ASSERT_EQ(server.Requests().size(), 2);
    EXPECT_TRUE(server.Requests()[1].starts_with(std::string(c.requestLine) + "\r\n")) << server.Requests()[1];
    EXPECT_EQ(cli.Location(), ReplaceAll(c.finalLocation, "%1", port));
    EXPECT_EQ(Body(), "here");
}

INSTANTIATE_TEST_SUITE_P(
    Values, RelocationTarget,
    testing::Values(TRelocationCase{"Absolute", "/a", "http://127.0.0.1:%1/abs", "GET /abs HTTP/1.0",
                                    "http://127.0.0.1:%1/abs"},
                    TRelocationCase{"AbsoluteUpperCase", "/a", "HTTP://127.0.0.1:%1", "GET / HTTP/1.0",
                                    "HTTP://127.0.0.1:%1"},
                    TRelocationCase{"HostRelative", "/dir/page", "/root/x?y=1", "GET /root/x?y=1 HTTP/1.0",
                                    "http://127.0.0.1:%1/root/x?y=1"},
                    TRelocationCase{"PathRelative", "/dir/page?q=a/b", "other", "GET /dir/other HTTP/1.0",
                                    "http://127.0.0.1:%1/dir/other"},
                    TRelocationCase{"Fragment", "/a", "/f#part", "GET /f HTTP/1.0", "http://127.0.0.1:%1/f#part"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpCliTest, RelocationLimitLeavesTheRedirectAsTheResult)
{
    for (int i = 0; i < 4; ++i)
        server.Connection().Respond(Response("HTTP/1.0 302 Found", "redirect " + std::to_string(i),
                                             "Location: /hop" + std::to_string(i + 1) + "\r\n"));
    cli.SetURL(server.Url("/hop0"));
    cli.SetLocationChangeMaxCount(2);
    std::vector<int> exceeded;
    cli.OnLocationChangeExceeded = [&](THttpCli*, int count, bool& allow) {
        EXPECT_FALSE(allow);
        exceeded.push_back(count);
    };
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised);
    EXPECT_EQ(exceeded, std::vector<int>{3});
    EXPECT_EQ(server.Requests().size(), 3);
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(cli.LocationChangeCurCount(), 3);
    EXPECT_EQ(Body(), "redirect 2");
}

TEST_F(HttpCliTest, ExceededHandlerMayAllowOneMore)
{
    server.Connection().Respond("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n");
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "allowed"));
    cli.SetURL(server.Url("/a"));
    cli.SetLocationChangeMaxCount(0);
    cli.OnLocationChangeExceeded = [](THttpCli*, int, bool& allow) { allow = true; };
    Request(cli);
    EXPECT_EQ(Body(), "allowed");
}

TEST_F(HttpCliTest, RelocationIsNotFollowedWhenSwitchedOff)
{
    server.Connection().Respond("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n");
    cli.SetURL(server.Url("/a"));
    cli.SetFollowRelocation(false);
    EXPECT_FALSE(Request(cli).raised);
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(cli.Location(), server.Url("/a"));
    EXPECT_EQ(server.Requests().size(), 1);
}

TEST_F(HttpCliTest, RelocationOnAKeptConnectionReusesIt)
{
    server.Connection()
        .ReadRequest()
        .Send("HTTP/1.1 301 Moved\r\nLocation: /b\r\n\r\n")
        .ReadRequest()
        .Send(Response("HTTP/1.1 200 OK", "same connection"));
    cli.SetRequestVer(std::string("1.1"));
    cli.SetURL(server.Url("/a"));
    Request(cli);
    EXPECT_EQ(Body(), "same connection");
    EXPECT_EQ(server.ConnectionsAccepted(), 1);
    EXPECT_EQ(server.Requests().size(), 2);
}

TEST_F(HttpCliTest, FailureAfterRelocationRaisesTheFinalStatus)
{
    server.Connection().Respond("HTTP/1.0 302 Found\r\nLocation: /missing\r\n\r\n");
    server.Connection().Respond(Response("HTTP/1.0 404 Not Found", "no"));
    cli.SetURL(server.Url("/a"));
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("Not Found"));
    EXPECT_EQ(outcome.code, 404);
}

// Failures.

TEST_F(HttpCliTest, UnresolvableHostFails)
{
    cli.SetURL(std::string("http:///no-host-name"));
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("can't resolve hostname to IP address"));
    EXPECT_EQ(outcome.code, 404);
}

TEST_F(HttpCliTest, RefusedConnectionNamesTheSocketError)
{
    TTcpListener closed;
    closed.Listen("127.0.0.1", 0);
    const std::uint16_t port = closed.Port();
    closed.Close();
    cli.SetURL("http://127.0.0.1:" + std::to_string(port) + "/");
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
#ifdef _WIN32
    EXPECT_EQ(outcome.message, SocketErrorText(WSAECONNREFUSED) + " (Error #10061)");
#else
    EXPECT_EQ(outcome.message, std::string("Connection refused (Error #111)"));
#endif
    EXPECT_EQ(outcome.code, 404);
}

TEST_F(HttpCliTest, HttpsIsRefusedWith501)
{
    cli.SetURL("https://127.0.0.1:" + std::to_string(server.Port()) + "/secure");
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("Protocol \"https\" not implemented"));
    EXPECT_EQ(outcome.code, 501);
    EXPECT_EQ(server.ConnectionsAccepted(), 0);
}

TEST_F(HttpCliTest, BadLocalAddressFailsBeforeConnecting)
{
    cli.SetURL(server.Url("/"));
    cli.SetLocalAddr(std::string("not-an-address"));
    const TOutcome outcome = Request(cli);
#ifdef _WIN32
    EXPECT_EQ(outcome.message, SocketErrorText(WSAEADDRNOTAVAIL));
#else
    EXPECT_EQ(outcome.message, std::string("Cannot assign requested address"));
#endif
    EXPECT_EQ(outcome.code, 404);
}

TEST_F(HttpCliTest, ConnectionIsBoundToTheLocalAddress)
{
    server.Connection().Send("HTTP/1.0 204 No Content\r\n\r\n").Close();
    cli.SetURL(server.Url("/"));
    cli.SetLocalAddr(std::string("127.0.0.2"));
    Request(cli);
    EXPECT_EQ(cli.StatusCode(), 204);
    EXPECT_EQ(server.Peers(), std::vector<std::string>{"127.0.0.2"});
}

TEST_F(HttpCliTest, SilentServerTimesOut)
{
    server.Connection().ReadRequest();  // and then nothing
    cli.SetURL(server.Url("/silent"));
    cli.SetTimeout(1);
    std::vector<std::uint16_t> done;
    cli.OnRequestDone = [&](THttpCli*, THttpRequest, std::uint16_t error) { done.push_back(error); };
    const TStopwatch clock;
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("Request aborted on timeout"));
    EXPECT_EQ(outcome.code, 404);
    EXPECT_GE(clock.ElapsedMs(), 1000);
    EXPECT_LT(clock.ElapsedMs(), 4000);
    PumpEvents();
    EXPECT_EQ(done, std::vector<std::uint16_t>{httperrTimeout});
}

TEST_F(HttpCliTest, TricklingDataNeverTimesOut)
{
    const std::string body(8, 't');
    server.Connection()
        .ReadRequest()
        .Send("HTTP/1.0 200 OK\r\nContent-Length: 8\r\n\r\n")
        .SendInPieces(body, 1, 350)
        .Close();
    cli.SetURL(server.Url("/slow"));
    cli.SetTimeout(1);
    int ticks = 0;
    const TTestTimer timer(100, [&] { ++ticks; });  // the windows' timers keep running during the wait
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised) << outcome.message;
    EXPECT_EQ(Body(), body);
    EXPECT_GE(ticks, 10);
}

// A handler that runs a loop of its own while the request waits (a modal
// window) does not hold the transfer up: it completes behind the window.
TEST_F(HttpCliTest, TransferGoesOnWhileAHandlerRunsItsOwnLoop)
{
    const std::string body(6, 'm');
    server.Connection()
        .ReadRequest()
        .Send("HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\n")
        .SendInPieces(body, 2, 20)
        .Close();
    cli.SetURL(server.Url("/modal"));
    bool readyInsideTheLoop = false;
    const TTestTimer handler(0, [&] {
        const TStopwatch clock;
        while (cli.State() != httpReady && clock.ElapsedMs() < 5000)
            TTestEventLoop::Current().ProcessEvents(50);
        readyInsideTheLoop = cli.State() == httpReady;
    }, true);
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised) << outcome.message;
    EXPECT_TRUE(readyInsideTheLoop);
    EXPECT_EQ(Body(), body);
}

TEST_F(HttpCliTest, AbortFromDocDataRaisesAborted)
{
    server.Connection().ReadRequest().Send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc").Pause(5000);
    cli.SetURL(server.Url("/abort"));
    std::vector<std::uint16_t> done;
    cli.OnRequestDone = [&](THttpCli*, THttpRequest, std::uint16_t error) { done.push_back(error); };
    cli.OnDocData = [](THttpCli* sender, const char*, std::int64_t) { sender->Abort(); };
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("Connection aborted on request"));
    EXPECT_EQ(outcome.code, 404);
    EXPECT_EQ(cli.State(), httpReady);
    PumpEvents();
    EXPECT_EQ(done, std::vector<std::uint16_t>{httperrAborted});
}

TEST_F(HttpCliTest, CloseRightAfterAbortLetsGetReturn)
{
    server.Connection().ReadRequest().Send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc").Pause(5000);
    cli.SetURL(server.Url("/cancel"));
    cli.OnDocData = [](THttpCli* sender, const char*, std::int64_t) {
        sender->Abort();
        sender->Close();
    };
    const TOutcome outcome = Request(cli);
    EXPECT_FALSE(outcome.raised);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ReasonPhrase(), std::string("OK"));
    EXPECT_EQ(Body(), "abc");
}

TEST_F(HttpCliTest, ApplicationQuittingAbortsTheRequest)
{
    server.Connection().ReadRequest().Pause(5000);
    cli.SetURL(server.Url("/quit"));
    TOutcome outcome;
    // Inside the application's own loop, as in the program; the quit comes
    // from a handler that runs during the wait.
    const TTestTimer quit(100, [] { TTestEventLoop::Current().Quit(); }, true);
    const TTestTimer handler(0, [&] { outcome = Request(cli); }, true);
    TTestEventLoop::Current().Exec();
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string("Request aborted"));
    EXPECT_EQ(outcome.code, 404);
}

TEST_F(HttpCliTest, SecondRequestWhileBusyIsRefused)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "data"));
    cli.SetURL(server.Url("/busy"));
    TOutcome nested;
    cli.OnDocData = [&](THttpCli* sender, const char*, std::int64_t) { nested = Request(*sender); };
    EXPECT_FALSE(Request(cli).raised);
    EXPECT_TRUE(nested.raised);
    EXPECT_EQ(nested.message, std::string("HTTP component HttpCli1 is busy"));
    EXPECT_EQ(nested.code, httperrBusy);
    EXPECT_EQ(Body(), "data");
}

TEST_F(HttpCliTest, UnsupportedVersionIsRefused)
{
    try {
        cli.SetRequestVer(std::string("1.2"));
        FAIL() << "no exception";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message(), std::string("Insupported HTTP version"));
        EXPECT_EQ(e.ErrorCode(), httperrVersion);
    }
    EXPECT_EQ(cli.RequestVer(), std::string("1.0"));
}

struct TInjectionCase {
    const char* name;
    void (THttpCli::*setter)(const std::string&);
    const char* value;
    const char* message;
};

void PrintTo(const TInjectionCase& c, std::ostream* os)
{
    *os << c.name;
}

class ControlCharacter : public HttpCliTest, public testing::WithParamInterface<TInjectionCase> {};

TEST_P(ControlCharacter, IsRefusedBeforeAnythingIsSent)
{
    const TInjectionCase& c = GetParam();
    cli.SetURL(server.Url("/x"));
    (cli.*c.setter)(ReplaceAll(c.value, "%1", std::to_string(server.Port())));
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string(c.message));
    EXPECT_EQ(outcome.code, httperrBadRequestText);
    PumpEvents();
    EXPECT_EQ(server.ConnectionsAccepted(), 0);
    EXPECT_EQ(cli.State(), httpReady);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ControlCharacter,
    testing::Values(TInjectionCase{"Url", &THttpCli::SetURL, "http://127.0.0.1:%1/x HTTP/1.0\r\nX-Evil: 1",
                                   "Control character in URL"},
                    TInjectionCase{"Proxy", &THttpCli::SetProxy, "127.0.0.1\n", "Control character in Proxy"},
                    TInjectionCase{"Agent", &THttpCli::SetAgent, "Agent\nX-Evil: 1", "Control character in Agent"},
                    TInjectionCase{"Cookie", &THttpCli::SetCookie, "a=\x7f", "Control character in Cookie"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpCliTest, LocationWithAControlCharacterIsNotFollowed)
{
    server.Connection().Respond("HTTP/1.0 302 Found\r\nLocation: /a\rX-Evil: 1\r\n\r\n");
    cli.SetURL(server.Url("/"));
    const TOutcome outcome = Request(cli);
    EXPECT_EQ(outcome.message, std::string("Control character in Location"));
    PumpEvents();
    EXPECT_EQ(server.Requests().size(), 1);
}

struct TBadResponseCase {
    const char* name;
    std::string response;
    const char* message;
};

void PrintTo(const TBadResponseCase& c, std::ostream* os)
{
    *os << c.name;
}

class BadResponse : public HttpCliTest, public testing::WithParamInterface<TBadResponseCase> {};

TEST_P(BadResponse, EndsTheRequestWithAClearFailure)
{
    server.Connection().ReadRequest().Send(GetParam().response).Pause(5000);
    cli.SetURL(server.Url("/bad"));
    int dataPush = 0;
    cli.OnDataPush2 = [&](THttpCli*) { ++dataPush; };
    const TStopwatch clock;
    const TOutcome outcome = Request(cli);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.message, std::string(GetParam().message));
    EXPECT_EQ(outcome.code, 404);
    EXPECT_LT(clock.ElapsedMs(), 1000);  // not through the time-out
    EXPECT_EQ(dataPush, outcome.message == std::string("Invalid response status line") ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Responses, BadResponse,
    testing::Values(TBadResponseCase{"LongLine", "HTTP/1.0 200 OK\r\nX: " + std::string(70000, 'x'),
                                     "Response header too large"},
                    TBadResponseCase{"ManyLines", "HTTP/1.0 200 OK\r\n" + Repeated("A: b\r\n", 1001),
                                     "Response header too large"},
                    TBadResponseCase{"NotHttp", "SSH-2.0-OpenSSH\r\n", "Invalid response status line"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpCliTest, ConnectionClosedBeforeTheHeaderEndsFailsAtOnce)
{
    server.Connection().Respond("HTTP/1.0 200 OK\r\nContent-");
    cli.SetURL(server.Url("/short"));
    const TOutcome outcome = Request(cli);
    EXPECT_EQ(outcome.message, std::string("Connection closed before the end of the response header"));
    EXPECT_EQ(outcome.code, 404);
}

// A sink that refuses the data is no HTTP failure: its own error, with the
// sink's reason, reaches the caller.
TEST_F(HttpCliTest, SinkThatCannotBeWrittenFailsTheRequestWithItsReason)
{
    server.Connection().Respond(Response("HTTP/1.0 200 OK", "data"));
    cli.SetURL(server.Url("/w"));
#ifdef _WIN32
    // No full device here: a file opened for reading only refuses the data.
    const std::filesystem::path readOnly = std::filesystem::directory_iterator(QUORVEX_HTTP_CORPUS)->path();
    test::TFileSink fullStream(readOnly, "rb");
    const std::string reason = std::strerror(EBADF);
#else
    test::TFileSink fullStream("/dev/full", "wb");
    const std::string reason = std::strerror(ENOSPC);
#endif
    ASSERT_TRUE(fullStream.IsOpen());
    cli.SetRcvdStream(&fullStream);
    try {
        cli.Get();
        ADD_FAILURE() << "no error";
    } catch (const ERcvdStreamError& error) {
        EXPECT_EQ(error.Reason(), reason);
        EXPECT_EQ(std::string(error.what()), "Cannot write the received data: " + reason);
    }
    EXPECT_EQ(cli.State(), httpReady);
}

TEST_F(HttpCliTest, CloseWhenIdleAndAbortWhenIdleLeaveOk)
{
    std::vector<THttpState> states;
    cli.OnStateChange = [&](THttpCli* sender) { states.push_back(sender->State()); };
    EXPECT_FALSE(Request(cli, &THttpCli::Close).raised);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(states, (std::vector<THttpState>{httpClosing, httpReady}));
    cli.Abort();
    EXPECT_EQ(cli.ReasonPhrase(), std::string("OK"));
    EXPECT_EQ(states.back(), httpReady);
    EXPECT_EQ(states.size(), 3u);
}

}  // namespace
}  // namespace quorvex
