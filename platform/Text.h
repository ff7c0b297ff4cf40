// Text helpers shared by the platform layer: case-insensitive comparison as
// Windows names compare, and UTF-8 / UTF-16 conversion.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// Upper-cases ASCII letters only; every other unit is returned as it is.
constexpr char16_t FoldCase(char16_t unit)
{
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool EqualsNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

// The text with every occurrence of from replaced by to: literal and
// case-sensitive, searched left to right, a replacement never searched again.
// An empty from changes nothing.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// Decodes the character that starts at text[index] (index < size) into
// codePoint and returns its length in bytes: a UTF-8 sequence, or a single
// byte that is not part of valid UTF-8, taken as the Latin-1 character of
// that code so that no input is rejected.
std::size_t DecodeCharacter(std::string_view text, std::size_t index, char32_t& codePoint);

// The length of text without an unfinished UTF-8 sequence at its end (the
// first bytes of a character whose last bytes are still to come).
std::size_t CompleteUtf8Length(std::string_view text);

// Converts with DecodeCharacter.
std::u16string Utf8ToUtf16(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace quorvex
