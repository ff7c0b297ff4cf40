#include "cli/Run.h"

#include "archive/Catalogue.h"
#include "archive/mxStorage.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "cli/StatusReport.h"
#include "cli/UpdateCommand.h"
#include "engine/MessengerInfo.h"
#include "engine/TQuorvex.h"
#include "platform/Error.h"
#include "quorvex/BuildConfig.h"
#include "workflows/MessengerFacts.h"
#include "workflows/MessengerLocation.h"
#include "workflows/Workflows.h"

#include <exception>

namespace quorvex::cli {
namespace {

// An option that the list would not let the user tick now.
class TRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string RowLabel(const TOptionList& list, int row)
{
    return "\"" + std::string(list.Names[static_cast<std::size_t>(row)]) + "\" (" + std::to_string(row) + ")";
}

// The ticks of the rows selected, refused as the list would refuse them:
// nothing on a disabled tab, no row that cannot be ticked now; "all" ticks
// every row that can.
std::vector<bool> TicksOf(const TOptionList& list, const TRowSelection& selection, IOptionFacts& facts)
{
    const std::string version = facts.MessengerVersion();
    if (const TUnavailableReason tab = list.TabReason(version); tab != TUnavailableReason::Available)
        throw TRefusal("The " + std::string(list.Title) + " are not available: " + ReasonText(tab, version) + ".");
    const std::vector<TUnavailableReason> reasons = RowReasons(list, facts);
    std::vector<bool> ticks(reasons.size(), false);
    for (const int row : selection.Rows) {
        if (const TUnavailableReason reason = reasons[static_cast<std::size_t>(row)];
            reason != TUnavailableReason::Available)
            throw TRefusal("Option " + RowLabel(list, row) + " of the " + std::string(list.Title) +
                           " is not available: " + ReasonText(reason, version) + ".");
        ticks[static_cast<std::size_t>(row)] = true;
    }
    for (std::size_t row = 0; row < reasons.size(); ++row) {
        if (selection.All && reasons[row] == TUnavailableReason::Available)
            ticks[row] = true;
    }
    return ticks;
}

TExitStatus Status(const TCommandLine& line, const TMessengerLocation& location, TQuorvex& engine, std::ostream& out)
{
    TMessengerFacts facts(engine);
    const TMessengerStatus status = ReadStatus(location, facts);
    if (line.Json)
        PrintStatusJson(status, out);
    else
        PrintStatus(status, out);
    return kCompleted;
}

TExitStatus Apply(const TCommandLine& line, const TMessengerLocation& location, TQuorvex& engine, std::ostream& out,
                  std::ostream& err)
{
    TMessengerFacts facts(engine);
    TConsoleHost host(TicksOf(OptionListOf(line.Command), line.Selection, facts), location.Folder, line.Color, out,
                      err);
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    switch (line.Command) {
    case TCommand::Adverts:
        // As showing the Adverts tab does: the main advert patch depends on it.
        engine.YahooMajor = UsableMajorVersion(YahooVersion()).value_or(0);
        ApplyAdvertOptions(engine, storage, host);
        break;
    case TCommand::UI: ApplySkinOptions(storage, host); break;
    default: CleanAndRestore(engine, storage, host); break;
    }
    return host.Completed() ? kCompleted : kRefused;
}

TExitStatus Run(const TCommandLine& line, std::ostream& out, std::ostream& err)
{
    switch (line.Command) {
    case TCommand::Help: out << UsageText() << std::flush; return kCompleted;
    case TCommand::Version: out << config::kVersionLine << std::flush; return kCompleted;
    case TCommand::Update: return CheckForUpdate(line.UpdateURL, out, err);
    default: break;
    }
    const TMessengerLocation location = LocateMessenger(line.Prefix, line.Folder);
    TQuorvex engine;
    if (line.Command == TCommand::Status)
        return Status(line, location, engine, out);
    return Apply(line, location, engine, out, err);
}

}  // namespace

TExitStatus RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    TCommandLine line;
    try {
        line = ParseCommandLine(arguments);
    } catch (const TUsageError& error) {
        err << "quorvex-cli: " << error.what() << "\n\n" << UsageText() << std::flush;
        return kUsageError;
    }
    try {
        return Run(line, out, err);
    } catch (const TRefusal& refusal) {
        err << refusal.what() << std::endl;
        return kRefused;
    } catch (const std::exception& error) {
        err << ErrorReportText(error.what()) << std::endl;
    } catch (...) {
        err << kUnknownError << std::endl;
    }
    return kFailed;
}

}  // namespace quorvex::cli
