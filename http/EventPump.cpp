#include "http/EventPump.h"

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

}  // namespace quorvex
