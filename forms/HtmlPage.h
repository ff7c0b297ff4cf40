// What the HTML views of both programs (the help window, the editor's
// preview) need to know of a page beyond drawing it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// The page a view shows for a file that cannot be read: naming it and the reason.
std::string CannotShowPage(std::string_view path, std::string_view reason);

// The colour the page's body asks for as its background (bgcolor="#RRGGBB"),
// bits 0-7 red, 8-15 green, 16-23 blue; nothing when it asks for none or the
// value is not of that form.
std::optional<std::uint32_t> PageBackground(std::string_view html);

}  // namespace quorvex
