#include "platform/wine/ProcMessengerProbe.h"

#include "platform/wine/ProcFs.h"
#include "platform/Text.h"

#include <string_view>

namespace quorvex {

namespace {

// The last component of a Windows or native path.
std::string_view FileName(std::string_view path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

bool NamesMessenger(std::string_view argument)
{
    return EqualsNoCase(FileName(argument), "YahooMessenger.exe");
}

}  // namespace

bool CommandLineRunsMessenger(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return false;
    if (NamesMessenger(arguments[0]))
        return true;
    return FileName(arguments[0]).starts_with("wine") && arguments.size() > 1 && NamesMessenger(arguments[1]);
}

bool TProcMessengerProbe::MessengerRunning() const
{
    return AnyProcess([](const TProcessInfo& process) { return CommandLineRunsMessenger(process.Arguments()); });
}

}  // namespace quorvex
