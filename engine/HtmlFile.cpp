#include "engine/HtmlFile.h"

#include "platform/Platform.h"
#include "platform/Text.h"

#include <cstdio>
#include <span>

namespace quorvex {

std::string ColorToHtml(std::uint32_t color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

std::string AdvertHtmlPage(std::uint32_t color)
{
    return ReplaceAll(std::string(kAdvertHtmlTemplate), kAdvertHtmlPlaceholder, ColorToHtml(color));
}

void WriteAdvertHtml(std::string_view page)
{
    const std::string line = std::string(page) + "\r\n";
    FileSystem().WriteFile(std::string(kAdvertHtmlPath),
                           std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
}

}  // namespace quorvex
