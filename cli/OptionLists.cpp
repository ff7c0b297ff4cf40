#include "cli/OptionLists.h"

#include "engine/HtmlFile.h"
#include "engine/MessengerInfo.h"
#include "workflows/WorkflowSteps.h"

#include <array>
#include <charconv>

namespace quorvex::cli {
namespace {

constexpr std::array<std::string_view, 9> kAdvertNames = {
    "main", "banner", "chat", "webcam", "video", "statusbar", "multi", "autostart", "smiley",
};
constexpr std::array<std::string_view, 9> kUINames = {
    "insider", "email", "mobile", "voice", "card", "plugins", "contacts", "yupdates", "notifications",
};
constexpr std::array<std::string_view, 3> kCleanNames = {"backup", "html", "ui"};

TUnavailableReason AdvertsTabReason(const std::string& version)
{
    return AdvertsTabEnabled(version) ? TUnavailableReason::Available : TUnavailableReason::NoMessenger;
}

TUnavailableReason UITabReason(const std::string& version)
{
    return UITabEnabled(version) ? TUnavailableReason::Available : TUnavailableReason::NotVersion10To11;
}

// The Clean tab is never disabled.
TUnavailableReason CleanTabReason(const std::string&)
{
    return TUnavailableReason::Available;
}

// The UI list has no row rule: its tab decides for all of its rows.
TUnavailableReason UIRowReason(int, IOptionFacts&)
{
    return TUnavailableReason::Available;
}

}  // namespace

const TOptionList& AdvertOptionList()
{
    static const TOptionList list{"adverts", "advert options", kAdvertNames, AdvertsTabReason, AdvertOptionReason};
    return list;
}

const TOptionList& UIOptionList()
{
    static const TOptionList list{"ui", "UI options", kUINames, UITabReason, UIRowReason};
    return list;
}

const TOptionList& CleanOptionList()
{
    static const TOptionList list{"clean", "clean options", kCleanNames, CleanTabReason, CleanOptionReason};
    return list;
}

int RowNamed(const TOptionList& list, std::string_view word)
{
    for (int index = 0; index < list.Count(); ++index) {
        if (list.Names[static_cast<std::size_t>(index)] == word)
            return index;
    }
    int index = -1;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, index);
    if (word.empty() || error != std::errc() || stop != end || index < 0 || index >= list.Count())
        return -1;
    return index;
}

std::string ReasonText(TUnavailableReason reason, const std::string& version)
{
    using enum TUnavailableReason;
    const bool installed = version != kNoMessengerVersion;
    const std::string messenger = "the installed Yahoo Messenger " + version;
    switch (reason) {
    case Available: break;
    case UnlistedVersion:
        return installed ? messenger + " is not one of the supported versions" : "no Yahoo Messenger is installed";
    case NotVersion10To11:
        return installed ? messenger + " is not version 10 or 11" : "no Yahoo Messenger is installed";
    case NotVersion8To11:
        return installed ? messenger + " is not version 8, 9, 10 or 11" : "no Yahoo Messenger is installed";
    case NoMessenger: return "no Yahoo Messenger is installed";
    case AutoStartOff: return "Yahoo Messenger is not set to start automatically";
    case NoBackup: return "there is no backup \"" + std::string(kBackupName) + "\" in the working folder";
    case NoHtmlReplacement:
        return "the HTML replacement file \"" + std::string(kAdvertHtmlPath) + "\" does not exist";
    }
    return {};
}

std::vector<TUnavailableReason> RowReasons(const TOptionList& list, IOptionFacts& facts)
{
    const std::string version = facts.MessengerVersion();
    const TUnavailableReason tab = list.TabReason(version);
    std::vector<TUnavailableReason> reasons;
    for (int index = 0; index < list.Count(); ++index)
        reasons.push_back(tab != TUnavailableReason::Available ? tab : list.RowReason(index, facts));
    return reasons;
}

}  // namespace quorvex::cli
