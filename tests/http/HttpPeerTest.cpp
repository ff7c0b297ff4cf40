// The HTTP client against real peers started by peers/peers.sh (a ctest
// fixture): nginx for files and redirects, tinyproxy for the proxied path.
#include "http/HttpCli.h"
#include "tests/http/Sinks.h"
#include "tests/http/peers/Peers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quorvex {
namespace {

using test::PeerFolder;
using test::PeerPortText;

std::string FileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class HttpPeerTest : public testing::Test {
protected:
    void SetUp() override
    {
        nginxPort = PeerPortText("nginx");
        proxyPort = PeerPortText("proxy");
        ASSERT_FALSE(nginxPort.empty() || proxyPort.empty())
            << "the peers are started by the ctest fixture http_peers (QUORVEX_PEER_DIR)";
        cli.SetName("HttpCli1");
        cli.SetNoCache(true);
        cli.SetRcvdStream(&sink);
    }

    std::string Url(const char* path) const { return "http://127.0.0.1:" + nginxPort + path; }
    std::filesystem::path Served(const char* name) const { return PeerFolder() + "/nginx/root/" + name; }

    std::string nginxPort;
    std::string proxyPort;
    THttpCli cli;
    test::TStringSink sink;
};

TEST_F(HttpPeerTest, StaticFile)
{
    cli.SetURL(Url("/hello.txt"));
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(sink.Data(), "Hello from nginx.\r\n");
    EXPECT_EQ(cli.ContentLength(), 19);
    EXPECT_EQ(cli.ContentType(), "text/plain");
    EXPECT_EQ(cli.RcvdHeader().front(), "HTTP/1.1 200 OK");
}

TEST_F(HttpPeerTest, MissingFileRaisesNotFound)
{
    cli.SetURL(Url("/missing.txt"));
    try {
        cli.Get();
        FAIL() << "no exception";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.Message(), "Not Found");
        EXPECT_EQ(e.ErrorCode(), 404);
    }
}

// nginx's redirects carry an HTML body; only the target's body may remain.
TEST_F(HttpPeerTest, ReturnRedirectsAreFollowed)
{
    for (const char* path : {"/moved", "/found"}) {
        sink.Clear();
        cli.SetURL(Url(path));
        cli.Get();
        EXPECT_EQ(cli.StatusCode(), 200) << path;
        EXPECT_EQ(sink.Data(), "Hello from nginx.\r\n") << path;
        EXPECT_EQ(cli.Location(), Url("/hello.txt")) << path;
        EXPECT_EQ(cli.LocationChangeCurCount(), 1) << path;
    }
}

TEST_F(HttpPeerTest, EndlessRedirectStopsAtTheLimit)
{
    cli.SetURL(Url("/loop"));
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 302);
    EXPECT_EQ(cli.LocationChangeCurCount(), 6);
    EXPECT_NE(sink.Data().find("302 Found"), std::string::npos);  // the unfollowed redirect's own body
}

TEST_F(HttpPeerTest, HeadGivesTheLengthWithoutTheBody)
{
    cli.SetURL(Url("/large.bin"));
    cli.Head();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ContentLength(), static_cast<std::int64_t>(std::filesystem::file_size(Served("large.bin"))));
    EXPECT_NE(std::ranges::find(cli.RcvdHeader(), "Content-Length: " + std::to_string(cli.ContentLength())),
              cli.RcvdHeader().end());
    EXPECT_TRUE(sink.Data().empty());
}

TEST_F(HttpPeerTest, LargeFileStreamsToAFileBlockByBlock)
{
    // Into the fixture's folder, which the fixture removes.
    const std::filesystem::path target = PeerFolder() + "/download.bin";
    test::TFileSink targetStream(target, "wb");
    ASSERT_TRUE(targetStream.IsOpen()) << targetStream.ErrorString();
    cli.SetRcvdStream(&targetStream);
    cli.SetURL(Url("/large.bin"));
    std::int64_t blocks = 0;
    std::int64_t largestBlock = 0;
    cli.OnDocData = [&](THttpCli*, const char*, std::int64_t length) {
        ++blocks;
        largestBlock = std::max(largestBlock, length);
    };
    cli.Get();
    ASSERT_TRUE(targetStream.Close()) << targetStream.ErrorString();
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(Served("large.bin")));
    EXPECT_EQ(cli.RcvdCount(), size);
    EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(target)), size);
    EXPECT_TRUE(FileBytes(target) == FileBytes(Served("large.bin")));
    std::filesystem::remove(target);
    EXPECT_GT(blocks, 100);
    EXPECT_LE(largestBlock, static_cast<std::int64_t>(THttpResponseReader::kReadBlock));
}

TEST_F(HttpPeerTest, ProxiedRequestGoesThroughTinyproxy)
{
    cli.SetProxy("127.0.0.1");
    cli.SetProxyPort(proxyPort);
    cli.SetURL(Url("/via"));
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_TRUE(sink.Data().starts_with("via=")) << sink.Data();
    EXPECT_NE(sink.Data().find("quorvex-test-proxy"), std::string::npos) << sink.Data();

    sink.Clear();
    cli.SetURL(Url("/found"));  // a redirect followed through the proxy
    cli.Get();
    EXPECT_EQ(sink.Data(), "Hello from nginx.\r\n");
}

TEST_F(HttpPeerTest, DirectRequestHasNoVia)
{
    cli.SetURL(Url("/via"));
    cli.Get();
    EXPECT_EQ(sink.Data(), "via=");
}

}  // namespace
}  // namespace quorvex
