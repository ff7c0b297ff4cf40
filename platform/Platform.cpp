#include "platform/Platform.h"

#include "platform/ProcMessengerProbe.h"
#include "platform/WineFileSystem.h"
#include "platform/WineRegistry.h"

namespace quorvex {

const TFileSystem& FileSystem()
{
    static const TWineFileSystem instance;
    return instance;
}

const TRegistry& Registry()
{
    static const TWineRegistry instance;
    return instance;
}

const TMessengerProbe& MessengerProbe()
{
    static const TProcMessengerProbe instance;
    return instance;
}

}  // namespace quorvex
