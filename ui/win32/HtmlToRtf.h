// The help document is HTML; the Windows help window shows it in a RichEdit,
// which reads RTF. This converts the subset of HTML such a page uses.
#pragma once

#include <string>
#include <string_view>

namespace quorvex::win32 {

// RTF (plain ASCII) for the HTML page, read as UTF-8 with any byte that is not
// valid UTF-8 taken as the Latin-1 character of that code.
// Shown with their formatting: headings h1 to h6, paragraphs and div, br,
// lists (ul, ol, li; dl, dt, dd), pre, b and strong, i and em, u, links (their
// text underlined in the link colour), code, tt and spans of class "path" in a
// fixed-pitch font. Entities, named and numeric, become their characters; an
// entity that cannot be read stays as written. The text of title, style and
// script elements is left out. Any other tag is dropped and its text kept;
// markup that is not closed (a "<" without its ">") is text. Whitespace
// collapses as HTML collapses it, except inside pre.
std::string HtmlToRtf(std::string_view html);

}  // namespace quorvex::win32
