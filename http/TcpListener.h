// A listening TCP socket on the thread's socket loop (http/SocketLoop.h), the
// counterpart of TTcpSocket for a loopback server inside the process (the
// HTTP tests' scripted server): it tells when connections wait and hands
// each to a TTcpSocket.
#pragma once

#include "http/SocketLoop.h"
#include "http/TcpSocket.h"
#include "platform/Socket.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quorvex {

class TTcpListener final : public TLoopSocket {
public:
    TTcpListener();
    ~TTcpListener();
    TTcpListener(const TTcpListener&) = delete;
    TTcpListener& operator=(const TTcpListener&) = delete;

    // Delivered from the socket loop while connections wait to be accepted.
    std::function<void()> OnSessionAvailable;

    // Listens on a numeric address ("127.0.0.1") and port, 0 for a free one
    // that the system chooses. Throws ESocketException.
    void Listen(const std::string& address, std::uint16_t port);
    // The port listened on; 0 when not listening.
    std::uint16_t Port() const;
    // Hands the next waiting connection to socket; false when none waits.
    // Throws ESocketException.
    bool Accept(TTcpSocket& socket);
    // Stops listening; connections not yet accepted are refused.
    void Close();
    bool IsListening() const { return socket_.IsOpen(); }

    TSocketWait WaitFor() const override;
    void Serve(bool readable, bool writable) override;

private:
    TSocket socket_;
};

}  // namespace quorvex
