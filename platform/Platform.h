// The platform services in use in this process. This build provides the
// Linux implementations over the Wine prefix ($WINEPREFIX, else ~/.wine, read
// at each use); a Windows build would provide its own behind the same
// interfaces.
#pragma once

#include "platform/FileSystem.h"
#include "platform/MessengerProbe.h"
#include "platform/Registry.h"

namespace quorvex {

const TFileSystem& FileSystem();
const TRegistry& Registry();
const TMessengerProbe& MessengerProbe();

}  // namespace quorvex
