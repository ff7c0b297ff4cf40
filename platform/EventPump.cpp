#include "platform/EventPump.h"

#include <utility>

namespace quorvex {
namespace {

TEventPump* installed = nullptr;

}  // namespace

TEventPump* SetEventPump(TEventPump* pump)
{
    return std::exchange(installed, pump);
}

TEventPump* InstalledEventPump()
{
    return installed;
}

bool ServeEventLoop()
{
    return installed == nullptr || installed->ServeOnce();
}

}  // namespace quorvex
