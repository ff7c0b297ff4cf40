// The HTML replacement file: the one-line page in the user's colour that the
// messenger shows where an advert was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Also the text that the URL patches write into the messenger image.
inline constexpr std::string_view kAdvertHtmlPath = "C:\\BlankQuorvex.html";
inline constexpr std::string_view kAdvertHtmlTemplate =
    "<html><body bgcolor=\"%bg%\" style=\"overflow: hidden;\"></body></html>";
inline constexpr std::string_view kAdvertHtmlPlaceholder = "%bg%";

// "#RRGGBB" from a colour whose bits 0-7 are red, 8-15 green, 16-23 blue; the
// top byte is ignored.
std::string ColorToHtml(std::uint32_t color);

// The page for a colour: the template with every placeholder replaced by the
// colour text. It is the file's only line.
std::string AdvertHtmlPage(std::uint32_t color);

// Creates or replaces "C:\BlankQuorvex.html" with the page as its only line,
// ended by CR LF. Throws FileCreateError when the file cannot be created; the
// old file is then unchanged. The engine and the editor window both write
// the file through here.
void WriteAdvertHtml(std::string_view page);

}  // namespace quorvex
