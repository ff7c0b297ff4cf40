// Conversions between the UTF-8 texts Quorvex works with and the UTF-16
// texts of the Win32 API, and the system's text for a Win32 error code.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);

// FormatMessageW's text for the code, without its trailing line break;
// "Error <code>" when the system has none.
std::string Win32ErrorText(unsigned long code);

}  // namespace quorvex
