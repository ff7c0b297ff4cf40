#include "cli/StatusReport.h"

#include "cli/Json.h"
#include "engine/MessengerInfo.h"
#include "workflows/MessengerLocation.h"
#include "workflows/WorkflowSteps.h"

namespace quorvex::cli {
namespace {

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}

const char* JsonBool(bool value)
{
    return value ? "true" : "false";
}

std::string_view RowName(const TListStatus& list, std::size_t index)
{
    return list.List->Names[index];
}

// The reason in one word, for scripts.
const char* ReasonWord(TPrefixReason reason)
{
    switch (reason) {
    case TPrefixReason::Given: return "given";
    case TPrefixReason::Environment: return "environment";
    case TPrefixReason::Default: return "default";
    case TPrefixReason::FrontEnd: return "front-end";
    case TPrefixReason::Folder: return "folder";
    }
    return "";
}

}  // namespace

TMessengerStatus ReadStatus(const TMessengerLocation& location, IOptionFacts& facts)
{
    TMessengerStatus status;
    status.Prefix = location.Prefix;
    status.PrefixProblem = PrefixProblem(location);
    status.RegistryFileProblems = RegistryFileProblems(location);
    status.Folder = location.Folder;
    status.ExecutableFound = ExecutableExists(status.Folder);
    status.Version = facts.MessengerVersion();
    status.MajorVersion = UsableMajorVersion(status.Version);
    status.Running = YahooRunning();
    status.BackupExists = facts.BackupExists();
    status.HtmlReplacementExists = facts.HtmlReplacementExists();
    for (const TOptionList* list : {&AdvertOptionList(), &UIOptionList(), &CleanOptionList()})
        status.Lists.push_back({list, RowReasons(*list, facts)});
    return status;
}

void PrintStatus(const TMessengerStatus& status, std::ostream& out)
{
    if (status.Prefix)
        out << "prefix: " << status.Prefix->Prefix.string() << '\n'
            << "prefix chosen: " << PrefixReasonText(status.Prefix->Reason) << '\n';
    for (const std::string& problem : status.RegistryFileProblems)
        out << "registry file unreadable: " << problem << '\n';
    out << "folder: " << status.Folder << '\n'
        << "executable found: " << YesNo(status.ExecutableFound) << '\n'
        << "version: " << status.PrefixProblem.value_or(status.Version) << '\n'
        << "major version: " << (status.MajorVersion ? std::to_string(*status.MajorVersion) : "none") << '\n'
        << "running: " << YesNo(status.Running) << '\n'
        << "backup: " << YesNo(status.BackupExists) << '\n'
        << "HTML replacement file: " << YesNo(status.HtmlReplacementExists) << '\n';
    for (const TListStatus& list : status.Lists) {
        out << list.List->Title << ":\n";
        for (std::size_t index = 0; index < list.Rows.size(); ++index) {
            out << "  " << index << ' ' << RowName(list, index) << ": ";
            if (list.Rows[index] == TUnavailableReason::Available)
                out << "available\n";
            else
                out << "not available, " << ReasonText(list.Rows[index], status.Version) << '\n';
        }
    }
    out.flush();
}

void PrintStatusJson(const TMessengerStatus& status, std::ostream& out)
{
    out << '{';
    if (status.Prefix)
        out << "\"prefix\":" << JsonString(status.Prefix->Prefix.string()) << ",\"prefixChosen\":"
            << JsonString(ReasonWord(status.Prefix->Reason)) << ',';
    if (status.PrefixProblem)
        out << "\"prefixProblem\":" << JsonString(*status.PrefixProblem) << ',';
    if (!status.RegistryFileProblems.empty()) {
        out << "\"registryFileProblems\":[";
        for (std::size_t index = 0; index < status.RegistryFileProblems.size(); ++index)
            out << (index > 0 ? "," : "") << JsonString(status.RegistryFileProblems[index]);
        out << "],";
    }
    out << "\"folder\":" << JsonString(status.Folder) << ",\"executableFound\":" << JsonBool(status.ExecutableFound)
        << ",\"version\":" << JsonString(status.Version) << ",\"majorVersion\":"
        << (status.MajorVersion ? std::to_string(*status.MajorVersion) : "null")
        << ",\"running\":" << JsonBool(status.Running) << ",\"backup\":" << JsonBool(status.BackupExists)
        << ",\"htmlReplacementFile\":" << JsonBool(status.HtmlReplacementExists) << ",\"lists\":{";
    for (std::size_t listIndex = 0; listIndex < status.Lists.size(); ++listIndex) {
        const TListStatus& list = status.Lists[listIndex];
        out << (listIndex > 0 ? "," : "") << JsonString(list.List->Command) << ":[";
        for (std::size_t index = 0; index < list.Rows.size(); ++index) {
            const bool available = list.Rows[index] == TUnavailableReason::Available;
            out << (index > 0 ? "," : "") << "{\"index\":" << index << ",\"name\":" << JsonString(RowName(list, index))
                << ",\"available\":" << JsonBool(available);
            if (!available)
                out << ",\"reason\":" << JsonString(ReasonText(list.Rows[index], status.Version));
            out << '}';
        }
        out << ']';
    }
    out << "}}\n";
    out.flush();
}

}  // namespace quorvex::cli
