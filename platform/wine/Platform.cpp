#include "platform/Platform.h"

#include "platform/wine/ProcMessengerProbe.h"
#include "platform/wine/WineFileSystem.h"
#include "platform/wine/WineRegistry.h"

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
