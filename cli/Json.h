// The little JSON that quorvex-cli writes.
#pragma once

#include <string>
#include <string_view>

namespace quorvex::cli {

// The text as a JSON string, quotes included. Bytes that are not UTF-8 (a
// Linux file name may hold any) each become U+FFFD, so the result is always
// valid JSON.
std::string JsonString(std::string_view text);

}  // namespace quorvex::cli
