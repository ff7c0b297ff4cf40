// The registry of the Wine prefix: HKEY_CURRENT_USER is <prefix>/user.reg,
// HKEY_LOCAL_MACHINE <prefix>/system.reg.
//
// Wine's wineserver holds these files in memory while it runs and writes them
// back when it exits, which would undo a change made to the files meanwhile.
// A change therefore waits (up to a bound) for the prefix's wineserver to
// exit, and fails with a RegistryError when it does not. Quorvex processes
// change a file in turn: each holds its change lock (TFileChangeLock) from
// reading the file as it is to writing it, so no change is lost. Changes made
// together (ChangeTogether) wait once and write each file once.
#pragma once

#include "platform/Registry.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorvex {

class TChangeGroup;

// The group of changes under way, shared by a registry and its keys.
struct TChangeGroupSlot {
    TChangeGroup* Current = nullptr;
};

class TWineRegistry final : public TRegistry {
public:
    // Wine's server lingers three seconds after its last program ends.
    static constexpr std::chrono::milliseconds kDefaultWineserverWait{6000};

    explicit TWineRegistry(std::chrono::milliseconds wineserverWait = kDefaultWineserverWait)
        : wineserverWait_(wineserverWait)
    {
    }

    std::unique_ptr<TRegistryKey> OpenKey(TRootKey root, const std::string& path, TKeyAccess access) const override;
    void ChangeTogether(const std::function<void()>& changes) const override;

private:
    std::chrono::milliseconds wineserverWait_;
    std::shared_ptr<TChangeGroupSlot> groupSlot_ = std::make_shared<TChangeGroupSlot>();
};

// Why the prefix's registry files that are there cannot be read (not a
// regular file, too large, not readable): one message per such file, as the
// read gives it. A key in such a file does not open, as in a missing one.
std::vector<std::string> RegistryFileErrors(const std::filesystem::path& prefix);

}  // namespace quorvex
