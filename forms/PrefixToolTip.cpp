#include "forms/PrefixToolTip.h"

#ifdef QUORVEX_WINE_PREFIX
#include "platform/Error.h"
#include "platform/wine/PrefixDiscovery.h"
#include "platform/wine/WineRegistry.h"
#endif

namespace quorvex {

#ifdef QUORVEX_WINE_PREFIX

namespace {

std::string PrefixLine(const TPrefixChoice& prefix, const std::optional<std::string>& problem)
{
    const std::string reason = PrefixReasonText(prefix.Reason);
    if (!problem)
        return "Wine prefix: " + prefix.Prefix.string() + ", " + reason;
    std::string line = *problem + " (" + reason + ").";
    if (prefix.Reason == TPrefixReason::Environment || prefix.Reason == TPrefixReason::Default) {
        line += "\nNo messenger in the Wine front-ends' folders searched:";
        for (const std::filesystem::path& folder : FrontEndFolders())
            line += "\n" + folder.string();
    }
    return line;
}

}  // namespace

std::string PrefixToolTip(const TMessengerLocation& location)
{
    if (!location.Prefix)
        return {};
    std::string tip = PrefixLine(*location.Prefix, PrefixProblem(location));
    for (const std::string& error : RegistryFileErrors(location.Prefix->Prefix))
        tip += "\n" + ErrorReportText(error);
    return tip;
}

#else

std::string PrefixToolTip(const TMessengerLocation&)
{
    return {};
}

#endif

}  // namespace quorvex
