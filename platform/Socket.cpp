#include "platform/Socket.h"

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

}  // namespace quorvex
