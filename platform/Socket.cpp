#include "platform/Socket.h"
#include "platform/SocketSystem.h"

#include <mutex>
#include <thread>
#include <utility>

namespace quorvex {

// What the worker and the lookup share; the worker keeps it alive until it
// has answered, so an abandoned lookup frees it then.
struct TNameLookup::TState {
    std::mutex Mutex;
    std::optional<TResult> Result;
};

TNameLookup::~TNameLookup()
{
    Abandon();
}

void TNameLookup::Start(const std::string& host, const TSocketAddress& like)
{
    Abandon();
    auto state = std::make_shared<TState>();
    std::thread([state, host, like] {
        TResult result = ResolveHostName(host, like);
        const std::lock_guard lock(state->Mutex);
        state->Result = std::move(result);
    }).detach();
    state_ = std::move(state);
}

void TNameLookup::Abandon()
{
    state_.reset();
}

std::optional<TNameLookup::TResult> TNameLookup::Take()
{
    if (!state_)
        return std::nullopt;
    std::optional<TResult> result;
    {
        const std::lock_guard lock(state_->Mutex);
        result = std::move(state_->Result);
    }
    if (result)
        state_.reset();
    return result;
}

TSocket::TSocket(TSocket&& other) noexcept : handle_(std::exchange(other.handle_, -1))
{
}

TSocket& TSocket::operator=(TSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

namespace {

int QueryAddress(std::intptr_t handle, bool peer, TSocketAddress& address)
{
    static_assert(sizeof(sockaddr_storage) <= 128, "TSocketAddress holds any address");
    const auto socket = static_cast<TNativeSocket>(handle);
    auto* data = static_cast<sockaddr*>(address.Data());
    TSockLen length = sizeof(sockaddr_storage);
    if ((peer ? ::getpeername(socket, data, &length) : ::getsockname(socket, data, &length)) != 0)
        return LastSocketError();
    address.SetLength(static_cast<std::size_t>(length));
    return 0;
}

}  // namespace

int TSocket::LocalAddress(TSocketAddress& address) const
{
    return QueryAddress(handle_, false, address);
}

int TSocket::PeerAddress(TSocketAddress& address) const
{
    return QueryAddress(handle_, true, address);
}

}  // namespace quorvex
