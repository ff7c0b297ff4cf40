#include "forms/HtmlPage.h"

#include <algorithm>
#include <cctype>

namespace quorvex {
namespace {

std::string Escaped(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '&': escaped += "&amp;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

}  // namespace

std::string CannotShowPage(std::string_view path, std::string_view reason)
{
    return "<html><body><p><b>This page cannot be shown.</b></p><p>" + Escaped(path) + "</p><p>" + Escaped(reason)
        + "</p></body></html>";
}

std::optional<std::uint32_t> PageBackground(std::string_view html)
{
    const std::string lower = Lower(html);
    const std::size_t body = lower.find("<body");
    if (body == std::string::npos)
        return std::nullopt;
    const std::size_t end = std::min(lower.find('>', body), lower.size());
    const std::size_t attribute = lower.find("bgcolor", body);
    if (attribute == std::string::npos || attribute > end)
        return std::nullopt;
    std::size_t at = attribute + 7;
    while (at < end && (lower[at] == ' ' || lower[at] == '=' || lower[at] == '"' || lower[at] == '\''))
        ++at;
    if (at + 7 > end || lower[at] != '#')
        return std::nullopt;
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i <= 6; ++i) {
        const int digit = HexDigit(lower[at + i]);
        if (digit < 0)
            return std::nullopt;
        rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
    }
    // #RRGGBB to the value with red in the low byte.
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

}  // namespace quorvex
