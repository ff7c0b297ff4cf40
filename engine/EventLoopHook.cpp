#include "engine/EventLoopHook.h"

#include <utility>

namespace quorvex {

namespace {

TEventLoopHook& InstalledHook()
{
    static TEventLoopHook hook;
    return hook;
}

}  // namespace

TEventLoopHook SetEventLoopHook(TEventLoopHook hook)
{
    return std::exchange(InstalledHook(), std::move(hook));
}

void ServeEventLoop()
{
    if (const TEventLoopHook& hook = InstalledHook())
        hook();
}

}  // namespace quorvex
