// The platform services in use in this process, chosen when the program is
// built: on Linux the implementations over the Wine prefix ($WINEPREFIX, else
// ~/.wine, read at each use; Platform.cpp), on Windows those over the Win32 API
// (Win32Platform.cpp).
#pragma once

#include "platform/FileSystem.h"
#include "platform/MessengerProbe.h"
#include "platform/Registry.h"

namespace quorvex {

const TFileSystem& FileSystem();
const TRegistry& Registry();
const TMessengerProbe& MessengerProbe();

}  // namespace quorvex
