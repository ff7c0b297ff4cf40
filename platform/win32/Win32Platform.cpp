#include "platform/Platform.h"

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MessengerProbe.h"
#include "platform/win32/Win32Registry.h"

namespace quorvex {

const TFileSystem& FileSystem()
{
    static const TWin32FileSystem instance;
    return instance;
}

const TRegistry& Registry()
{
    static const TWin32Registry instance;
    return instance;
}

const TMessengerProbe& MessengerProbe()
{
    static const TWin32MessengerProbe instance;
    return instance;
}

}  // namespace quorvex
