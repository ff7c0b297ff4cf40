#include "engine/HtmlFile.h"

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
    const std::string colorText = ColorToHtml(color);
    std::string content(kAdvertHtmlTemplate);
    for (std::size_t at = content.find(kAdvertHtmlPlaceholder); at != std::string::npos;
         at = content.find(kAdvertHtmlPlaceholder, at + colorText.size())) {
        content.replace(at, kAdvertHtmlPlaceholder.size(), colorText);
    }
    return content + "\r\n";
}

}  // namespace quorvex
