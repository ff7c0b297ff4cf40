#include "http/TcpListener.h"

#include <optional>
#include <utility>

namespace quorvex {

TTcpListener::TTcpListener()
{
    TSocketLoop::ThisThread().Add(this);
}

TTcpListener::~TTcpListener()
{
    TSocketLoop::ThisThread().Remove(this);
}

void TTcpListener::Listen(const std::string& address, std::uint16_t port)
{
    std::optional<TSocketAddress> local = TSocketAddress::Parse(address);
    if (!local)
        throw ESocketException(sockErrAddressNotAvailable);
    local->SetPortNumber(port);
    if (const int error = socket_.Listen(*local); error != 0)
        throw ESocketException(error);
}

std::uint16_t TTcpListener::Port() const
{
    TSocketAddress local;
    if (!socket_.IsOpen() || socket_.LocalAddress(local) != 0)
        return 0;
    return local.PortNumber();
}

bool TTcpListener::Accept(TTcpSocket& socket)
{
    TSocket connection;
    if (const int error = socket_.Accept(connection); error != 0)
        throw ESocketException(error);
    if (!connection.IsOpen())
        return false;
    socket.Adopt(std::move(connection));
    return true;
}

void TTcpListener::Close()
{
    socket_.Close();
}

TSocketWait TTcpListener::WaitFor() const
{
    TSocketWait wait;
    wait.Socket = &socket_;
    wait.WantRead = socket_.IsOpen();
    return wait;
}

void TTcpListener::Serve(bool readable, bool)
{
    if (readable && OnSessionAvailable)
        OnSessionAvailable();
}

}  // namespace quorvex
