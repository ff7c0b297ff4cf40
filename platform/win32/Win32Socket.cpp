#include "platform/Socket.h"
#include "platform/SocketSystem.h"
#include "platform/win32/Win32Text.h"

#include <algorithm>

namespace quorvex {
namespace {

SOCKET Native(std::intptr_t handle)
{
    return static_cast<SOCKET>(handle);
}

bool WouldBlock(int error)
{
    return error == WSAEWOULDBLOCK || error == WSAEINTR || error == WSAEINPROGRESS;
}

int MakeNonBlocking(SOCKET socket)
{
    u_long nonBlocking = 1;
    return ::ioctlsocket(socket, FIONBIO, &nonBlocking) == 0 ? 0 : ::WSAGetLastError();
}

// A non-blocking TCP socket of the family of like, not inherited by child
// processes, into socket. Returns 0, else the error number.
int OpenStreamSocket(const TSocketAddress& like, SOCKET& socket)
{
    StartSockets();
    socket = ::WSASocketW(like.IsIpv6() ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                          WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET)
        return ::WSAGetLastError();
    if (const int error = MakeNonBlocking(socket); error != 0) {
        ::closesocket(socket);
        socket = INVALID_SOCKET;
        return error;
    }
    return 0;
}

}  // namespace

void StartSockets()
{
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;  // a failed start shows in the first call's own error
}

bool NameHasNoAddress(int status)
{
    return status == WSAHOST_NOT_FOUND || status == WSANO_DATA;
}

int LastSocketError()
{
    return ::WSAGetLastError();
}

const int sockErrAddressNotAvailable = WSAEADDRNOTAVAIL;
const int sockErrInvalidArgument = WSAEINVAL;

std::string SocketErrorText(int error)
{
    if (error == sockErrHostNotFound)
        return "Host not found";
    if (error == sockErrLookupFailed)
        return "Name lookup failed";
    return Win32ErrorText(static_cast<unsigned long>(error));
}

TSocket::~TSocket()
{
    Close();
}

int TSocket::StartConnect(const TSocketAddress& local, const TSocketAddress& remote, bool& notStarted)
{
    Close();
    notStarted = false;
    SOCKET socket = INVALID_SOCKET;
    if (const int error = OpenStreamSocket(remote, socket); error != 0) {
        notStarted = true;
        return error;
    }
    handle_ = static_cast<std::intptr_t>(socket);
    if (::bind(socket, static_cast<const sockaddr*>(local.Data()), static_cast<int>(local.Length())) != 0) {
        notStarted = true;
        const int error = ::WSAGetLastError();
        Close();
        return error;
    }
    if (::connect(socket, static_cast<const sockaddr*>(remote.Data()), static_cast<int>(remote.Length())) != 0) {
        const int error = ::WSAGetLastError();
        if (!WouldBlock(error))
            return error;
    }
    return 0;
}

int TSocket::ConnectResult() const
{
    int error = 0;
    int length = sizeof(error);
    if (::getsockopt(Native(handle_), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return ::WSAGetLastError();
    return error;
}

int TSocket::Listen(const TSocketAddress& local)
{
    Close();
    SOCKET socket = INVALID_SOCKET;
    if (const int error = OpenStreamSocket(local, socket); error != 0)
        return error;
    handle_ = static_cast<std::intptr_t>(socket);
    // Without it another program could bind the same port with SO_REUSEADDR
    // and take the connections meant for this one.
    const BOOL exclusive = TRUE;
    if (::setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                     sizeof(exclusive)) != 0
        || ::bind(socket, static_cast<const sockaddr*>(local.Data()), static_cast<int>(local.Length())) != 0
        || ::listen(socket, SOMAXCONN) != 0) {
        const int error = ::WSAGetLastError();
        Close();
        return error;
    }
    return 0;
}

// The taken socket has the listening one's properties; non-blocking and not
// inherited are set again all the same, as the documentation does not name them.
int TSocket::Accept(TSocket& connection) const
{
    connection.Close();
    const SOCKET socket = ::accept(Native(handle_), nullptr, nullptr);
    if (socket == INVALID_SOCKET) {
        const int error = ::WSAGetLastError();
        return WouldBlock(error) || error == WSAECONNRESET ? 0 : error;
    }
    connection.handle_ = static_cast<std::intptr_t>(socket);
    if (const int error = MakeNonBlocking(socket); error != 0) {
        connection.Close();
        return error;
    }
    if (::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0) == 0) {
        const int error = static_cast<int>(::GetLastError());
        connection.Close();
        return error;
    }
    return 0;
}

TSocket::TTransfer TSocket::Send(std::span<const char> bytes)
{
    const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30));
    const int count = ::send(Native(handle_), bytes.data(), size, 0);
    if (count >= 0)
        return {static_cast<std::size_t>(count), 0, false};
    const int error = ::WSAGetLastError();
    return WouldBlock(error) ? TTransfer{} : TTransfer{0, error, false};
}

TSocket::TTransfer TSocket::Receive(std::span<char> buffer)
{
    const int size = static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 30));
    const int count = ::recv(Native(handle_), buffer.data(), size, 0);
    if (count > 0)
        return {static_cast<std::size_t>(count), 0, false};
    if (count == 0)
        return {0, 0, true};
    const int error = ::WSAGetLastError();
    return WouldBlock(error) ? TTransfer{} : TTransfer{0, error, true};
}

void TSocket::Close()
{
    if (handle_ != -1)
        ::closesocket(Native(handle_));
    handle_ = -1;
}

bool TSocket::IsOpen() const
{
    return handle_ != -1;
}

// select() rather than WSAPoll: on older systems WSAPoll never reports a
// connection attempt that failed. A failed attempt shows in the except set.
void WaitForSockets(std::span<TSocketWait> waits, int timeoutMs)
{
    fd_set readable;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    bool any = false;
    for (const TSocketWait& wait : waits) {
        if (!wait.Socket->IsOpen() || (!wait.WantRead && !wait.WantWrite) || failed.fd_count >= FD_SETSIZE)
            continue;
        const SOCKET socket = Native(wait.Socket->Handle());
        if (wait.WantRead)
            FD_SET(socket, &readable);
        if (wait.WantWrite)
            FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        any = true;
    }
    if (!any) {
        ::Sleep(static_cast<DWORD>(timeoutMs));
        return;
    }
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (::select(0, &readable, &writable, &failed, &timeout) <= 0)
        return;
    for (TSocketWait& wait : waits) {
        if (!wait.Socket->IsOpen())
            continue;
        const SOCKET socket = Native(wait.Socket->Handle());
        const bool error = FD_ISSET(socket, &failed) != 0;
        wait.Readable = wait.WantRead && (FD_ISSET(socket, &readable) != 0 || error);
        wait.Writable = wait.WantWrite && (FD_ISSET(socket, &writable) != 0 || error);
    }
}

}  // namespace quorvex
