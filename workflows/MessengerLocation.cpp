#include "workflows/MessengerLocation.h"

#include "engine/MessengerInfo.h"
#include "workflows/WorkflowSteps.h"

#ifdef QUORVEX_WINE_PREFIX
#include "platform/wine/PrefixDiscovery.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineRegistry.h"
#endif

#include <array>

namespace quorvex {

std::string DefaultMessengerFolder()
{
    const std::string folder(kDefaultMessengerFolder);
    const std::string x86(kDefaultMessengerFolderX86);
    return !ExecutableExists(folder) && ExecutableExists(x86) ? x86 : folder;
}

TMessengerLocation LocateMessenger(const std::string& givenPrefix, const std::string& folderText)
{
    TMessengerLocation location;
#ifdef QUORVEX_WINE_PREFIX
    const std::string executable(kExecutableName);
    const std::array executables{std::string(kDefaultMessengerFolder) + executable,
                                 std::string(kDefaultMessengerFolderX86) + executable};
    location.Prefix = ChooseMessengerPrefix(givenPrefix, executables);
    UseWinePrefix(location.Prefix->Prefix);
#else
    static_cast<void>(givenPrefix);
#endif
    return FollowMessengerFolder(location, folderText);
}

TMessengerLocation FollowMessengerFolder(const TMessengerLocation& current, const std::string& folderText)
{
    TMessengerLocation location = current;
#ifdef QUORVEX_WINE_PREFIX
    if (!location.Prefix)
        location.Prefix = TPrefixChoice{WinePrefix(), EnvironmentNamesPrefix() ? TPrefixReason::Environment
                                                                               : TPrefixReason::Default};
    if (const std::optional<std::filesystem::path> prefix = UsePrefixOfFolder(folderText))
        location.Prefix = TPrefixChoice{*prefix, TPrefixReason::Folder};
    // Looked at afresh: the prefix may have been made or removed meanwhile.
    location.Prefix->State = PrefixStateOf(location.Prefix->Prefix);
#endif
    location.Folder = folderText.empty() ? DefaultMessengerFolder() : folderText;
    return location;
}

std::string PrefixReasonText(TPrefixReason reason)
{
    switch (reason) {
    case TPrefixReason::Given: return "given with --prefix";
    case TPrefixReason::Environment: return "from $WINEPREFIX";
    case TPrefixReason::Default: return "the default, as $WINEPREFIX is not set";
    case TPrefixReason::FrontEnd: return "found in a Wine front-end's folder";
    case TPrefixReason::Folder: return "holds the messenger folder given";
    }
    return {};
}

std::optional<std::string> PrefixProblem(const TMessengerLocation& location)
{
    if (!location.Prefix)
        return std::nullopt;
    const std::string path = location.Prefix->Prefix.string();
    switch (location.Prefix->State) {
    case TPrefixState::Usable: return std::nullopt;
    case TPrefixState::Missing: return "No Wine prefix at " + path;
    case TPrefixState::NotAPrefix: return path + " is not a Wine prefix";
    }
    return std::nullopt;
}

std::vector<std::string> RegistryFileProblems([[maybe_unused]] const TMessengerLocation& location)
{
#ifdef QUORVEX_WINE_PREFIX
    if (location.Prefix)
        return RegistryFileErrors(location.Prefix->Prefix);
#endif
    return {};
}

}  // namespace quorvex
