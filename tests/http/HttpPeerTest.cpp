// The HTTP client against real peers started by peers/peers.sh (a ctest
// fixture): nginx for files and redirects, tinyproxy for the proxied path.
#include "http/HttpCli.h"
#include "tests/http/DeviceSink.h"
#include "tests/http/peers/Peers.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quorvex {
namespace {

using test::PeerDir;
using test::PeerPort;

QByteArray FileMd5(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result().toHex();
}

class HttpPeerTest : public testing::Test {
protected:
    void SetUp() override
    {
        nginxPort = PeerPort("nginx");
        proxyPort = PeerPort("proxy");
        ASSERT_FALSE(nginxPort.isEmpty() || proxyPort.isEmpty())
            << "the peers are started by the ctest fixture http_peers (QUORVEX_PEER_DIR)";
        cli.SetName("HttpCli1");
        cli.SetNoCache(true);
        sink.open(QIODevice::ReadWrite);
        cli.SetRcvdStream(&sinkStream);
    }

    std::string Url(const char* path) const { return "http://127.0.0.1:" + nginxPort.toStdString() + path; }
    QString Served(const char* name) const { return PeerDir() + QLatin1String("/nginx/root/") + QLatin1String(name); }

    QString nginxPort;
    QString proxyPort;
    THttpCli cli;
    QBuffer sink;
    test::TDeviceSink sinkStream{sink};
};

TEST_F(HttpPeerTest, StaticFile)
{
    cli.SetURL(Url("/hello.txt"));
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(sink.data(), "Hello from nginx.\r\n");
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
        sink.buffer().clear();
        sink.seek(0);
        cli.SetURL(Url(path));
        cli.Get();
        EXPECT_EQ(cli.StatusCode(), 200) << path;
        EXPECT_EQ(sink.data(), "Hello from nginx.\r\n") << path;
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
    EXPECT_TRUE(sink.data().contains("302 Found"));  // the unfollowed redirect's own body
}

TEST_F(HttpPeerTest, HeadGivesTheLengthWithoutTheBody)
{
    cli.SetURL(Url("/large.bin"));
    cli.Head();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ContentLength(), QFileInfo(Served("large.bin")).size());
    EXPECT_NE(std::ranges::find(cli.RcvdHeader(), "Content-Length: " + std::to_string(cli.ContentLength())),
              cli.RcvdHeader().end());
    EXPECT_TRUE(sink.data().isEmpty());
}

TEST_F(HttpPeerTest, LargeFileStreamsToAFileBlockByBlock)
{
    QTemporaryDir folder;
    QFile target(folder.filePath(QStringLiteral("large.bin")));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    test::TDeviceSink targetStream(target);
    cli.SetRcvdStream(&targetStream);
    cli.SetURL(Url("/large.bin"));
    std::int64_t blocks = 0;
    std::int64_t largestBlock = 0;
    cli.OnDocData = [&](THttpCli*, const char*, std::int64_t length) {
        ++blocks;
        largestBlock = std::max(largestBlock, length);
    };
    cli.Get();
    target.close();
    const qint64 size = QFileInfo(Served("large.bin")).size();
    EXPECT_EQ(cli.RcvdCount(), size);
    EXPECT_EQ(target.size(), size);
    EXPECT_EQ(FileMd5(target.fileName()), FileMd5(Served("large.bin")));
    EXPECT_GT(blocks, 100);
    EXPECT_LE(largestBlock, static_cast<std::int64_t>(THttpResponseReader::kReadBlock));
}

TEST_F(HttpPeerTest, ProxiedRequestGoesThroughTinyproxy)
{
    cli.SetProxy("127.0.0.1");
    cli.SetProxyPort(proxyPort.toStdString());
    cli.SetURL(Url("/via"));
    cli.Get();
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_TRUE(sink.data().startsWith("via=")) << sink.data().constData();
    EXPECT_TRUE(sink.data().contains("quorvex-test-proxy")) << sink.data().constData();

    sink.buffer().clear();
    sink.seek(0);
    cli.SetURL(Url("/found"));  // a redirect followed through the proxy
    cli.Get();
    EXPECT_EQ(sink.data(), "Hello from nginx.\r\n");
}

TEST_F(HttpPeerTest, DirectRequestHasNoVia)
{
    cli.SetURL(Url("/via"));
    cli.Get();
    EXPECT_EQ(sink.data(), "via=");
}

}  // namespace
}  // namespace quorvex
