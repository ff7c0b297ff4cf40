#include "platform/wine/NativeFile.h"
#include "platform/Socket.h"
#include "platform/SocketSystem.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace quorvex {
namespace {

int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

}  // namespace

void StartSockets() {}

bool NameHasNoAddress(int status)
{
    return status == EAI_NONAME || status == EAI_NODATA;
}

int LastSocketError()
{
    return errno;
}

const int sockErrAddressNotAvailable = EADDRNOTAVAIL;
const int sockErrInvalidArgument = EINVAL;

std::string SocketErrorText(int error)
{
    if (error == sockErrHostNotFound)
        return "Host not found";
    if (error == sockErrLookupFailed)
        return "Name lookup failed";
    return SystemErrorText(error);
}

TSocket::~TSocket()
{
    Close();
}

int TSocket::StartConnect(const TSocketAddress& local, const TSocketAddress& remote, bool& notStarted)
{
    Close();
    notStarted = false;
    const int family = remote.IsIpv6() ? AF_INET6 : AF_INET;
    const int descriptor = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        notStarted = true;
        return errno;
    }
    handle_ = descriptor;
    if (::bind(descriptor, static_cast<const sockaddr*>(local.Data()), static_cast<socklen_t>(local.Length())) != 0) {
        notStarted = true;
        const int error = errno;
        Close();
        return error;
    }
    if (::connect(descriptor, static_cast<const sockaddr*>(remote.Data()), static_cast<socklen_t>(remote.Length())) != 0
        && errno != EINPROGRESS)
        return errno;
    return 0;
}

int TSocket::ConnectResult() const
{
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(Descriptor(handle_), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno;
    return error;
}

int TSocket::Listen(const TSocketAddress& local)
{
    Close();
    const int family = local.IsIpv6() ? AF_INET6 : AF_INET;
    const int descriptor = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return errno;
    handle_ = descriptor;
    // A given port may be taken again while connections of an earlier
    // listener on it linger in TIME_WAIT.
    const int reuse = 1;
    if (::setsockopt(descriptor, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse)) != 0
        || ::bind(descriptor, static_cast<const sockaddr*>(local.Data()), static_cast<socklen_t>(local.Length())) != 0
        || ::listen(descriptor, SOMAXCONN) != 0) {
        const int error = errno;
        Close();
        return error;
    }
    return 0;
}

int TSocket::Accept(TSocket& connection) const
{
    connection.Close();
    const int descriptor = ::accept4(Descriptor(handle_), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (descriptor >= 0) {
        connection.handle_ = descriptor;
        return 0;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
        return 0;
    return errno;
}

TSocket::TTransfer TSocket::Send(std::span<const char> bytes)
{
    const ssize_t count = ::send(Descriptor(handle_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (count >= 0)
        return {static_cast<std::size_t>(count), 0, false};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return {};
    return {0, errno, false};
}

TSocket::TTransfer TSocket::Receive(std::span<char> buffer)
{
    const ssize_t count = ::recv(Descriptor(handle_), buffer.data(), buffer.size(), 0);
    if (count > 0)
        return {static_cast<std::size_t>(count), 0, false};
    if (count == 0)
        return {0, 0, true};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return {};
    return {0, errno, true};
}

void TSocket::Close()
{
    if (handle_ >= 0)
        ::close(Descriptor(handle_));
    handle_ = -1;
}

bool TSocket::IsOpen() const
{
    return handle_ >= 0;
}

void WaitForSockets(std::span<TSocketWait> waits, int timeoutMs)
{
    std::vector<pollfd> descriptors;
    descriptors.reserve(waits.size());
    for (const TSocketWait& wait : waits) {
        short events = 0;
        if (wait.WantRead)
            events |= POLLIN;
        if (wait.WantWrite)
            events |= POLLOUT;
        // A socket that wants nothing is left out of the wait (-1 is ignored).
        const bool waited = events != 0 && wait.Socket->IsOpen();
        descriptors.push_back({waited ? Descriptor(wait.Socket->Handle()) : -1, events, 0});
    }
    if (::poll(descriptors.data(), descriptors.size(), timeoutMs) <= 0)
        return;
    for (std::size_t i = 0; i < waits.size(); ++i) {
        const short ready = descriptors[i].revents;
        const bool failed = (ready & (POLLERR | POLLHUP)) != 0;
        waits[i].Readable = waits[i].WantRead && ((ready & POLLIN) != 0 || failed);
        waits[i].Writable = waits[i].WantWrite && ((ready & POLLOUT) != 0 || failed);
    }
}

}  // namespace quorvex
