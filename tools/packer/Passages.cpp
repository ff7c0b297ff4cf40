#include "tools/packer/Passages.h"

#include "platform/Error.h"

#include <array>

namespace quorvex {
namespace {

constexpr std::array<std::string_view, 2> kSystems = {"linux", "windows"};
constexpr std::string_view kOnlyOpen = "<!--only ";
constexpr std::string_view kOnlyClose = "-->";
constexpr std::string_view kEnd = "<!--end only-->";

// A line without its line end ("\n" or "\r\n").
std::string_view Content(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

}  // namespace

bool KnownSystem(std::string_view system)
{
    for (const std::string_view known : kSystems) {
        if (system == known)
            return true;
    }
    return false;
}

std::vector<std::uint8_t> SystemPassages(const std::vector<std::uint8_t>& document, std::string_view system,
                                         const std::string& name)
{
    const std::string_view text(reinterpret_cast<const char*>(document.data()), document.size());
    std::vector<std::uint8_t> kept;
    kept.reserve(document.size());
    std::string_view passage;  // the system of the open passage; empty between passages
    int openedAt = 0;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = text.find('\n', at);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        const std::string_view line = text.substr(at, next - at);
        const std::string_view content = Content(line);
        const std::string where = name + ":" + std::to_string(++number) + ": ";
        at = next;
        if (content == kEnd) {
            if (passage.empty())
                throw Error(where + "\"" + std::string(kEnd) + "\" without a passage to end");
            passage = {};
        } else if (content.starts_with(kOnlyOpen) && content.ends_with(kOnlyClose)) {
            const std::string_view named =
                content.substr(kOnlyOpen.size(), content.size() - kOnlyOpen.size() - kOnlyClose.size());
            if (!KnownSystem(named))
                throw Error(where + "a passage for the unknown system \"" + std::string(named) + "\"");
            if (named == passage)
                throw Error(where + "a passage for " + std::string(named) + " inside one for " +
                            std::string(named));
            passage = named;
            openedAt = number;
        } else if (passage.empty() || passage == system) {
            kept.insert(kept.end(), line.begin(), line.end());
        }
    }
    if (!passage.empty())
        throw Error(name + ":" + std::to_string(openedAt) + ": the passage for " + std::string(passage) +
                    " has no \"" + std::string(kEnd) + "\"");
    return kept;
}

}  // namespace quorvex
