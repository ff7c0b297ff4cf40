// The system's TCP sockets as the HTTP client needs them, without a toolkit:
// numeric addresses, name resolution on a worker thread that the caller can
// abandon at any time, non-blocking stream sockets bound to a local address,
// non-blocking listening sockets (the tests' loopback servers), and a wait for
// their readiness with a time-out. POSIX sockets on Linux
// (PosixSocket.cpp), Winsock on Windows (Win32Socket.cpp).
//
// Error numbers are the system's own (errno, or the WSA codes on Windows);
// name resolution, which has none, reports the two numbers below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace quorvex {

enum : int {
    sockErrHostNotFound = 11001,
    sockErrLookupFailed = 11002,
};

// The system's numbers for an address that is not this machine's and for an
// invalid argument (a port out of range).
extern const int sockErrAddressNotAvailable;
extern const int sockErrInvalidArgument;

// The system's text for a socket error number, e.g. "Connection refused";
// "Host not found" and "Name lookup failed" for the resolution numbers.
std::string SocketErrorText(int error);

// An IPv4 or IPv6 address with a port, in the system's own layout.
class TSocketAddress {
public:
    // A numeric address text ("0.0.0.0", "127.0.0.2", "::1"); nothing for any
    // other text.
    static std::optional<TSocketAddress> Parse(const std::string& text);

    bool IsIpv6() const;
    void SetPortNumber(std::uint16_t port);
    std::uint16_t PortNumber() const;
    // The numeric host part, e.g. "127.0.0.2" or "::1".
    std::string HostText() const;

    const void* Data() const { return storage_.data(); }
    void* Data() { return storage_.data(); }
    std::size_t Length() const { return length_; }
    void SetLength(std::size_t length) { length_ = length; }

private:
    alignas(8) std::array<unsigned char, 128> storage_{};
    std::size_t length_ = 0;
};

// One name resolution on a worker thread. Abandoning it (or destroying the
// object) returns at once; the worker's late answer is then dropped and its
// memory freed by the worker.
class TNameLookup {
public:
    struct TResult {
        int Error = 0;  // 0, or sockErrHostNotFound / sockErrLookupFailed
        TSocketAddress Address;
    };

    TNameLookup() = default;
    ~TNameLookup();
    TNameLookup(const TNameLookup&) = delete;
    TNameLookup& operator=(const TNameLookup&) = delete;

    // Starts resolving host to an address of the family of like; a running
    // resolution is abandoned first. Throws std::system_error when no worker
    // thread can be started.
    void Start(const std::string& host, const TSocketAddress& like);
    void Abandon();
    // The outcome once the worker has answered (the lookup then stops running).
    std::optional<TResult> Take();

    struct TState;

private:
    std::shared_ptr<TState> state_;
};

// Resolves host to an address of the family of like, blocking: the worker of
// TNameLookup. An empty name is not found (Winsock would answer it with this
// machine's addresses).
TNameLookup::TResult ResolveHostName(const std::string& host, const TSocketAddress& like);

// A non-blocking TCP stream socket.
class TSocket {
public:
    TSocket() = default;
    ~TSocket();
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;
    TSocket(TSocket&& other) noexcept;
    TSocket& operator=(TSocket&& other) noexcept;

    // Creates the socket, binds it to local (any port) and starts connecting
    // to remote. Returns 0 while the connection is under way or made, else the
    // error number; notStarted tells that the socket could not be made or
    // bound (no attempt was made), as opposed to a refused attempt.
    int StartConnect(const TSocketAddress& local, const TSocketAddress& remote, bool& notStarted);
    // The outcome of the connection attempt once the socket is writable.
    int ConnectResult() const;

    // Creates the socket, binds it to local (port 0: a free port that the
    // system chooses) and listens. Returns 0, else the error number. On
    // Windows no other socket may bind the same address and port meanwhile.
    int Listen(const TSocketAddress& local);
    // Takes the next waiting connection of a listening socket into
    // connection, non-blocking like this one. Returns 0 also when none waits
    // (connection then stays closed), else the error number. A connection
    // that its peer dropped before it was taken counts as none.
    int Accept(TSocket& connection) const;

    // The socket's own address and its peer's; 0, else the error number.
    int LocalAddress(TSocketAddress& address) const;
    int PeerAddress(TSocketAddress& address) const;

    struct TTransfer {
        std::size_t Count = 0;
        int Error = 0;  // 0 when the call would have blocked or moved bytes
        bool Ended = false;  // the peer closed its sending side
    };
    TTransfer Send(std::span<const char> bytes);
    TTransfer Receive(std::span<char> buffer);

    // Closes the socket at once; unsent bytes are dropped.
    void Close();
    bool IsOpen() const;

    // The system's handle, for the wait below.
    std::intptr_t Handle() const { return handle_; }

private:
    std::intptr_t handle_ = -1;
};

struct TSocketWait {
    const TSocket* Socket = nullptr;
    bool WantRead = false;
    bool WantWrite = false;
    // Set by WaitForSockets: readable (also at the connection's end or on an
    // error, so that the read tells; for a listening socket, a connection
    // waits to be taken), writable (also when a connection attempt has
    // failed).
    bool Readable = false;
    bool Writable = false;
};

// Waits up to timeoutMs for any of the sockets to become ready; returns
// at once when one is. With no socket it only waits.
void WaitForSockets(std::span<TSocketWait> waits, int timeoutMs);

}  // namespace quorvex
