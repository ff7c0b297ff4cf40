// The listening socket of the tests' loopback servers, on the platform's
// sockets of both systems.
#include "http/TcpListener.h"
#include "http/TcpSocket.h"
#include "TestEventLoop.h"
#include "platform/SocketSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace quorvex {
namespace {

using test::TStopwatch;

#ifdef _WIN32
constexpr int kAddressInUse = WSAEADDRINUSE;
#else
constexpr int kAddressInUse = EADDRINUSE;
#endif

// Serves the thread's socket loop until done or a bound of two seconds.
template <class Done>
bool ServeUntil(Done done)
{
    const TStopwatch clock;
    while (!done() && clock.ElapsedMs() < 2000)
        TSocketLoop::ThisThread().RunOnce(10);
    return done();
}

TEST(TcpListener, ListensOnAFreePortOrTheGivenOne)
{
    TTcpListener listener;
    EXPECT_EQ(listener.Port(), 0);
    listener.Listen("127.0.0.1", 0);
    const std::uint16_t port = listener.Port();
    EXPECT_NE(port, 0);
    listener.Close();
    EXPECT_FALSE(listener.IsListening());
    listener.Listen("127.0.0.1", port);
    EXPECT_EQ(listener.Port(), port);
}

// No other socket takes over a port that a listener holds.
TEST(TcpListener, PortInUseAndBadAddressAreRefusedWithTheSystemsReason)
{
    TTcpListener first;
    first.Listen("127.0.0.1", 0);
    TTcpListener second;
    try {
        second.Listen("127.0.0.1", first.Port());
        ADD_FAILURE() << "a second listener on the same port";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.ErrorCode(), kAddressInUse);
        EXPECT_EQ(error.Message(), SocketErrorText(kAddressInUse));
    }
    EXPECT_FALSE(second.IsListening());
    try {
        second.Listen("localhost", 0);
        ADD_FAILURE() << "a name taken for an address";
    } catch (const ESocketException& error) {
        EXPECT_EQ(error.ErrorCode(), sockErrAddressNotAvailable);
    }
}

// A connection is announced from the loop and handed over connected: bytes
// go both ways, and the peer's address and its close come through.
TEST(TcpListener, HandsEachWaitingConnectionToASocket)
{
    TTcpListener listener;
    listener.Listen("127.0.0.1", 0);
    TTcpSocket accepted;
    EXPECT_FALSE(listener.Accept(accepted));  // none waits yet
    int announced = 0;
    listener.OnSessionAvailable = [&] {
        ++announced;
        EXPECT_TRUE(listener.Accept(accepted));
        EXPECT_FALSE(listener.Accept(accepted));
    };

    TTcpSocket client;
    std::string atClient;
    client.OnDataAvailable = [&] {
        char buffer[64];
        for (std::int64_t count; (count = client.Receive(buffer, sizeof(buffer))) > 0;)
            atClient.append(buffer, static_cast<std::size_t>(count));
    };
    bool clientClosed = false;
    client.OnSessionClosed = [&](int) { clientClosed = true; };
    client.OnDnsLookupDone = [&](int) { client.Connect(std::to_string(listener.Port())); };
    client.DnsLookup("127.0.0.1");
    ASSERT_TRUE(ServeUntil([&] { return accepted.State() == TTcpSocket::sockConnected; }));
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(accepted.PeerAddr(), "127.0.0.1");

    std::string atServer;
    accepted.OnDataAvailable = [&] {
        char buffer[64];
        for (std::int64_t count; (count = accepted.Receive(buffer, sizeof(buffer))) > 0;)
            atServer.append(buffer, static_cast<std::size_t>(count));
    };
    ASSERT_TRUE(ServeUntil([&] { return client.State() == TTcpSocket::sockConnected; }));
    client.Send("ping");
    ASSERT_TRUE(ServeUntil([&] { return atServer == "ping"; }));
    accepted.Send("pong");
    accepted.Close();
    EXPECT_TRUE(ServeUntil([&] { return clientClosed; }));
    EXPECT_EQ(atClient, "pong");
}

}  // namespace
}  // namespace quorvex
