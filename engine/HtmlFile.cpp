#include "engine/HtmlFile.h"

#include "platform/Text.h"

#include <cstdio>

namespace quorvex {

std::string ColorToHtml(std::uint32_t color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                  static_cast<unsigned>((color >> 8) & 0xFF), static_cast<unsigned>((color >> 16) & 0xFF));
    return text;
}

std::string AdvertHtmlContent(std::uint32_t color)
{
    return ReplaceAll(std::string(kAdvertHtmlTemplate), kAdvertHtmlPlaceholder, ColorToHtml(color)) + "\r\n";
}

}  // namespace quorvex
