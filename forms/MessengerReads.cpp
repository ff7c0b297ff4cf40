#include "forms/MessengerReads.h"

#include "engine/TQuorvex.h"

namespace quorvex {

bool TEngineReads::MultiOn()
{
    return engine_.CheckMulti();
}

bool TEngineReads::SmileyOn()
{
    return engine_.CheckSmiley();
}

}  // namespace quorvex
