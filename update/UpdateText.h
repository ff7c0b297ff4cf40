// Texts that the update checker fetches: the update information file and
// the readme. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The text of a file's bytes, decoded by its byte-order mark (UTF-8, UTF-16
// little-endian, UTF-16 big-endian), else in the system's 8-bit code page.
std::string DecodeTextFile(std::string_view bytes);

// The lines of a text, broken at CR LF, at a lone CR and at a lone LF; a
// break at the very end starts no further line.
std::vector<std::string> SplitLines(std::string_view text);

// Whether a UTF-16 unit is white space: the ASCII blanks and line breaks and
// Unicode's space separators.
bool IsBlank(char16_t unit);

// The text without the white space at its ends.
std::u16string Trimmed(std::u16string_view text);
std::string Trimmed(std::string_view text);

}  // namespace quorvex
