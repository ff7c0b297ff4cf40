#include "workflows/OptionRules.h"

#include "engine/MessengerInfo.h"
#include "platform/Error.h"

namespace quorvex {
namespace {

bool MajorBetween(const std::string& version, int lowest, int highest)
{
    const std::optional<std::uint8_t> major = UsableMajorVersion(version);
    return major && *major >= lowest && *major <= highest;
}

}  // namespace

std::optional<std::uint8_t> UsableMajorVersion(const std::string& version)
{
    try {
        return YahooMajorVersion(version);
    } catch (const Error&) {
        return std::nullopt;
    }
}

bool AdvertOptionUnavailable(int index, IOptionFacts& facts)
{
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return VersionOffset(facts.MessengerVersion()) == 0;
    case 5:
    case 8:
        return !MajorBetween(facts.MessengerVersion(), 10, 11);
    case 6:
        return !MajorBetween(facts.MessengerVersion(), 8, 11);
    case 7:
        return facts.MessengerVersion() == kNoMessengerVersion || !facts.AutoStartOn();
    default:
        return false;
    }
}

bool CleanOptionUnavailable(int index, IOptionFacts& facts)
{
    switch (index) {
    case 0: return !facts.BackupExists();
    case 1: return !facts.HtmlReplacementExists();
    case 2: return !MajorBetween(facts.MessengerVersion(), 10, 11);
    default: return false;
    }
}

bool AdvertsTabEnabled(const std::string& version)
{
    return version != kNoMessengerVersion;
}

bool UITabEnabled(const std::string& version)
{
    return MajorBetween(version, 10, 11);
}

}  // namespace quorvex
