#include "cli/UpdateCommand.h"

#include "http/HttpCli.h"
#include "quorvex/BuildConfig.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHttp.h"

namespace quorvex::cli {
namespace {

// The section of the update information file that the windowed program
// reads (its executable's name; sections match in any letter case).
constexpr char kUpdateSection[] = "Quorvex";

void PrintAddress(std::ostream& out, const char* name, const std::string& url)
{
    if (!url.empty())
        out << name << ": " << url << '\n';
}

}  // namespace

TExitStatus CheckForUpdate(const std::string& url, std::ostream& out, std::ostream& err)
{
    THttpCli client;
    ConfigureUpdateClient(client);
    const TUpdateCheckSettings settings{url.empty() ? ProductUpdateFileURL() : url, ProductUpdatePageURL(),
                                        config::kVersion, kUpdateSection};
    const TUpdateCheckResult result = RunUpdateCheck(client, settings, [] { return false; });
    if (result.InformationFailure) {
        err << "Cannot read the update information file " << settings.UpdateFileURL << ". "
            << *result.InformationFailure << std::endl;
        return kFailed;
    }
    const TUpdateInformation& information = result.Information;
    if (!result.Newer) {
        out << (information.Version.empty() ? "There are no advertised versions available."
                                            : "There are no new versions available.")
            << '\n';
        PrintAddress(out, "Update page", information.UpdatePageURL);
        out << std::flush;
        return kRefused;
    }
    out << "Version: " << information.Version << '\n';
    PrintAddress(out, "Download", information.DownloadFileURL);
    PrintAddress(out, "Readme", information.ReadmeFileURL);
    PrintAddress(out, "Update page", information.UpdatePageURL);
    out << std::flush;
    if (result.ReadmeFailure)
        err << "Cannot read the readme " << information.ReadmeFileURL << ". " << *result.ReadmeFailure << std::endl;
    return kCompleted;
}

}  // namespace quorvex::cli
