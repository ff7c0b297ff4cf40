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

TUnavailableReason AdvertOptionReason(int index, IOptionFacts& facts)
{
    using enum TUnavailableReason;
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return VersionOffset(facts.MessengerVersion()) == 0 ? UnlistedVersion : Available;
    case 5:
    case 8:
        return MajorBetween(facts.MessengerVersion(), 10, 11) ? Available : NotVersion10To11;
    case 6:
        return MajorBetween(facts.MessengerVersion(), 8, 11) ? Available : NotVersion8To11;
    case 7:
        if (facts.MessengerVersion() == kNoMessengerVersion)
            return NoMessenger;
        return facts.AutoStartOn() ? Available : AutoStartOff;
    default:
        return Available;
    }
}

bool AdvertOptionUnavailable(int index, IOptionFacts& facts)
{
    return AdvertOptionReason(index, facts) != TUnavailableReason::Available;
}

TUnavailableReason CleanOptionReason(int index, IOptionFacts& facts)
{
    using enum TUnavailableReason;
    switch (index) {
    case 0: return facts.BackupExists() ? Available : NoBackup;
    case 1: return facts.HtmlReplacementExists() ? Available : NoHtmlReplacement;
    case 2: return MajorBetween(facts.MessengerVersion(), 10, 11) ? Available : NotVersion10To11;
    default: return Available;
    }
}

bool CleanOptionUnavailable(int index, IOptionFacts& facts)
{
    return CleanOptionReason(index, facts) != TUnavailableReason::Available;
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
