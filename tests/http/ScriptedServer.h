// A loopback HTTP server inside the test process. Its sockets live in the
// thread's socket loop, which a synchronous Get serves while it waits; its
// pauses are timers of the test's event loop, which the Get serves as well.
// Each accepted connection plays the next script: read a request, send
// bytes, pause, close.
#pragma once

#include "http/TcpListener.h"
#include "http/TcpSocket.h"
#include "TestEventLoop.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::test {

class TScript {
public:
    // Waits for a request header (up to the empty line) and records it.
    TScript& ReadRequest();
    TScript& Send(const std::string& bytes);
    // Sends the bytes in pieces of the given size with a pause after each.
    TScript& SendInPieces(const std::string& bytes, std::size_t pieceSize, int pauseMs);
    TScript& Pause(int ms);
    // Closes once the bytes sent are out.
    TScript& Close();
    // Reads a request, sends the response and closes.
    TScript& Respond(const std::string& response) { return ReadRequest().Send(response).Close(); }

    struct TStep {
        enum TKind { stepRead, stepSend, stepPause, stepClose } Kind;
        std::string Bytes;
        int Ms = 0;
    };
    const std::vector<TStep>& Steps() const { return steps_; }

private:
    std::vector<TStep> steps_;
};

class TScriptedServer {
public:
    // Listens on 127.0.0.1, on a free port.
    TScriptedServer();
    ~TScriptedServer();
    TScriptedServer(const TScriptedServer&) = delete;
    TScriptedServer& operator=(const TScriptedServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;
    // The script of the next connection to be accepted.
    TScript& Connection();
    // Every request header read so far, in arrival order.
    const std::vector<std::string>& Requests() const { return requests_; }
    int ConnectionsAccepted() const { return static_cast<int>(peers_.size()); }
    // The address that each accepted connection came from.
    const std::vector<std::string>& Peers() const { return peers_; }

private:
    class TRunner;
    void Accept();

    TTcpListener listener_;
    std::uint16_t port_ = 0;
    std::deque<TScript> scripts_;
    std::vector<std::unique_ptr<TRunner>> runners_;
    std::vector<std::string> requests_;
    std::vector<std::string> peers_;
};

// A status line, the header lines and a body with its Content-Length.
std::string Response(const std::string& statusLine, const std::string& body, const std::string& extraHeader = {});

}  // namespace quorvex::test
