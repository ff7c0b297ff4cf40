// The engine's long scans let the application serve its event loop through a
// hook, so windows stay responsive without the engine knowing the toolkit.
#pragma once

#include <functional>

namespace quorvex {

using TEventLoopHook = std::function<void()>;

// Installs the callback that serves pending events once without blocking; an
// empty hook serves nothing. Returns the hook that was installed before.
TEventLoopHook SetEventLoopHook(TEventLoopHook hook);

// Calls the installed hook, if any.
void ServeEventLoop();

}  // namespace quorvex
