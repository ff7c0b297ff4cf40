#include "platform/wine/WineStart.h"

#include <algorithm>
#include <regex>
#include <vector>

namespace quorvex {
namespace {

constexpr std::size_t kMaxReasonLines = 8;
constexpr std::string_view kWine32Missing = "it looks like wine32 is missing";
constexpr std::string_view kBlanks = " \t\r\n\f\v";

// "0048:err:module:..." and the like (the thread, perhaps the process and a
// time before it): Wine's debug channels, not its reasons.
bool IsDebugLine(const std::string& line)
{
    static const std::regex channel("^[0-9a-f.:]+:(err|warn|fixme|trace):");
    return std::regex_search(line, channel);
}

std::vector<std::string> OutputLines(std::string_view output)
{
    std::vector<std::string> lines;
    while (!output.empty()) {
        const std::size_t end = std::min(output.find('\n'), output.size());
        std::string_view line = output.substr(0, end);
        output.remove_prefix(std::min(end + 1, output.size()));
        const std::size_t first = line.find_first_not_of(kBlanks);
        if (first != std::string_view::npos)
            lines.emplace_back(line.substr(first, line.find_last_not_of(kBlanks) - first + 1));
    }
    return lines;
}

std::string Joined(std::vector<std::string>::const_iterator first, std::vector<std::string>::const_iterator last)
{
    std::string text;
    for (auto line = first; line != last; ++line)
        text += (line == first ? "" : "\n") + *line;
    return text;
}

// The lines that follow Wine's hint up to its next message belong to it (the
// commands that install the 32-bit part).
std::string Wine32Hint(const std::vector<std::string>& lines, std::size_t start)
{
    std::size_t end = start + 1;
    while (end < lines.size() && end - start < kMaxReasonLines && !IsDebugLine(lines[end])
           && !lines[end].starts_with("wine:"))
        ++end;
    return Joined(lines.begin() + static_cast<std::ptrdiff_t>(start), lines.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace

std::string WineFailureReason(std::string_view output, int exitCode)
{
    const std::vector<std::string> lines = OutputLines(output);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (lines[index].find(kWine32Missing) != std::string::npos)
            return "Wine could not start it:\n" + Wine32Hint(lines, index);
    }
    std::vector<std::string> messages;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(messages),
                 [](const std::string& line) { return !IsDebugLine(line); });
    if (messages.empty())
        return "Wine could not start it (exit code " + std::to_string(exitCode) + ").";
    const std::size_t first = messages.size() - std::min(messages.size(), kMaxReasonLines);
    return "Wine could not start it:\n" + Joined(messages.begin() + static_cast<std::ptrdiff_t>(first), messages.end());
}

}  // namespace quorvex
