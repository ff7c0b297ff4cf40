#include "platform/Socket.h"
#include "platform/SocketSystem.h"

#include <cstring>

namespace quorvex {

std::optional<TSocketAddress> TSocketAddress::Parse(const std::string& text)
{
    StartSockets();
    TSocketAddress address;
    auto* ipv4 = static_cast<sockaddr_in*>(address.Data());
    if (::inet_pton(AF_INET, text.c_str(), &ipv4->sin_addr) == 1) {
        ipv4->sin_family = AF_INET;
        address.SetLength(sizeof(sockaddr_in));
        return address;
    }
    auto* ipv6 = static_cast<sockaddr_in6*>(address.Data());
    if (::inet_pton(AF_INET6, text.c_str(), &ipv6->sin6_addr) == 1) {
        ipv6->sin6_family = AF_INET6;
        address.SetLength(sizeof(sockaddr_in6));
        return address;
    }
    return std::nullopt;
}

bool TSocketAddress::IsIpv6() const
{
    return static_cast<const sockaddr*>(Data())->sa_family == AF_INET6;
}

void TSocketAddress::SetPortNumber(std::uint16_t port)
{
    if (IsIpv6())
        static_cast<sockaddr_in6*>(Data())->sin6_port = htons(port);
    else
        static_cast<sockaddr_in*>(Data())->sin_port = htons(port);
}

std::uint16_t TSocketAddress::PortNumber() const
{
    if (IsIpv6())
        return ntohs(static_cast<const sockaddr_in6*>(Data())->sin6_port);
    return ntohs(static_cast<const sockaddr_in*>(Data())->sin_port);
}

std::string TSocketAddress::HostText() const
{
    char text[INET6_ADDRSTRLEN] = {};
    const void* host = IsIpv6() ? static_cast<const void*>(&static_cast<const sockaddr_in6*>(Data())->sin6_addr)
                                : static_cast<const void*>(&static_cast<const sockaddr_in*>(Data())->sin_addr);
    if (::inet_ntop(IsIpv6() ? AF_INET6 : AF_INET, host, text, sizeof(text)) == nullptr)
        return {};
    return text;
}

TNameLookup::TResult ResolveHostName(const std::string& host, const TSocketAddress& like)
{
    // Winsock answers an empty name with this machine's own addresses.
    if (host.empty())
        return {sockErrHostNotFound, {}};
    StartSockets();
    addrinfo hints{};
    hints.ai_family = like.IsIpv6() ? AF_INET6 : AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    TNameLookup::TResult result;
    if (status != 0 || found == nullptr || found->ai_addrlen > sizeof(TSocketAddress)) {
        result.Error = status == 0 || NameHasNoAddress(status) ? sockErrHostNotFound : sockErrLookupFailed;
    } else {
        std::memcpy(result.Address.Data(), found->ai_addr, found->ai_addrlen);
        result.Address.SetLength(found->ai_addrlen);
    }
    if (found != nullptr)
        ::freeaddrinfo(found);
    return result;
}

}  // namespace quorvex
