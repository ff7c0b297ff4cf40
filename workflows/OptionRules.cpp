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

// The answer kept, or read now and kept; an answer that throws is not kept.
template <class T, class Read>
T Remembered(std::optional<T>& answer, Read read)
{
    if (!answer)
        answer = read();
    return *answer;
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

std::string TRememberedFacts::MessengerVersion()
{
    return Remembered(version_, [this] { return facts_.MessengerVersion(); });
}

bool TRememberedFacts::AutoStartOn()
{
    return Remembered(autoStart_, [this] { return facts_.AutoStartOn(); });
}

bool TRememberedFacts::BackupExists()
{
    return Remembered(backup_, [this] { return facts_.BackupExists(); });
}

bool TRememberedFacts::HtmlReplacementExists()
{
    return Remembered(htmlReplacement_, [this] { return facts_.HtmlReplacementExists(); });
}

}  // namespace quorvex
