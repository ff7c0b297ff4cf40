// Why Wine could not start a program, from what "wine start" wrote.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// Wine's own words when it names its missing 32-bit part ("it looks like
// wine32 is missing" and its advice), else its last messages without the
// lines of its debug channels, else the exit code.
std::string WineFailureReason(std::string_view output, int exitCode);

}  // namespace quorvex
