// The registry through the Win32 registry API. HKEY_LOCAL_MACHINE is opened
// in its 32-bit view (KEY_WOW64_32KEY), where the messenger, a 32-bit
// program, keeps its keys; HKEY_CURRENT_USER\Software is the same in both.
#pragma once

#include "platform/Registry.h"

namespace quorvex {

class TWin32Registry final : public TRegistry {
public:
    // Read opens with KEY_READ, ReadWrite with KEY_ALL_ACCESS.
    std::unique_ptr<TRegistryKey> OpenKey(TRootKey root, const std::string& path, TKeyAccess access) const override;
};

}  // namespace quorvex
