// The messenger's settings in the current user's registry. Keys are opened for
// full access and never created; a key that does not open makes the operation
// answer false. A setting is on when its DWORD reads above 0 (signed).
#include "engine/TQuorvex.h"

#include "platform/Platform.h"

#include <memory>

namespace quorvex {

namespace {

constexpr const char* kPagerKey = "Software\\yahoo\\pager";
constexpr const char* kTestKey = "Software\\yahoo\\pager\\Test";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kLaunchOnStartup = "Launch on Startup";
constexpr const char* kPlural = "Plural";
constexpr const char* kSmileySearch = "SmileySearch";

std::unique_ptr<TRegistryKey> OpenUserKey(const char* path)
{
    return Registry().OpenKey(TRootKey::CurrentUser, path, TKeyAccess::ReadWrite);
}

bool SettingOn(const char* keyPath, const char* name)
{
    const auto key = OpenUserKey(keyPath);
    return key && key->ValueExists(name) && key->ReadInteger(name) > 0;
}

// Switching off deletes the value; switching on writes 1 and reads it back.
bool SwitchSetting(const char* keyPath, const char* name, bool remove)
{
    const auto key = OpenUserKey(keyPath);
    if (!key)
        return false;
    if (remove)
        return key->ValueExists(name) && key->DeleteValue(name);
    key->WriteInteger(name, 1);
    return key->ReadInteger(name) > 0;
}

}  // namespace

bool TQuorvex::CheckAuto()
{
    return SettingOn(kPagerKey, kLaunchOnStartup);
}

// Its three changes are one setting, reported in one line: the registry may
// make them in one write.
bool TQuorvex::AutoStart()
{
    int changes = 0;
    Registry().ChangeTogether([&changes] {
        if (const auto pager = OpenUserKey(kPagerKey); pager && pager->ValueExists(kLaunchOnStartup)) {
            pager->WriteInteger(kLaunchOnStartup, 0);
            ++changes;
        }
        if (const auto run = OpenUserKey(kRunKey)) {
            for (const char* entry : {"Yahoo! Pager", "Messenger (Yahoo!)"}) {
                if (run->ValueExists(entry)) {
                    run->DeleteValue(entry);  // counted whether or not it succeeds
                    ++changes;
                }
            }
        }
    });
    return changes >= 2;
}

bool TQuorvex::CheckMulti()
{
    return SettingOn(kTestKey, kPlural);
}

bool TQuorvex::YahooMulti(bool Remove)
{
    return SwitchSetting(kTestKey, kPlural, Remove);
}

bool TQuorvex::CheckSmiley()
{
    return SettingOn(kPagerKey, kSmileySearch);
}

bool TQuorvex::SmileySearch(bool Remove)
{
    return SwitchSetting(kPagerKey, kSmileySearch, Remove);
}

}  // namespace quorvex
