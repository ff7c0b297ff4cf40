// The program's standard output and error as streams of UTF-8 text.
#pragma once

#include <ostream>

namespace quorvex {

// On Windows, text bound for a console window is shown through the console's
// wide-character call, so that every name shows as typed whatever the
// console's code page; text redirected to a file or a pipe stays UTF-8 bytes.
// Elsewhere these are the standard streams.
std::ostream& StandardOutput();
std::ostream& StandardError();

}  // namespace quorvex
