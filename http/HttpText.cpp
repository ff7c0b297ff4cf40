#include "http/HttpText.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvex {
namespace {

// The characters that Windows-1252 places at 0x80..0x9F instead of the C1
// controls of ISO 8859-1.
constexpr std::array<std::pair<char32_t, char>, 27> kAnsiHighBlock{{
    {U'\u20AC', '\x80'}, {U'\u201A', '\x82'}, {U'\u0192', '\x83'}, {U'\u201E', '\x84'},
    {U'\u2026', '\x85'}, {U'\u2020', '\x86'}, {U'\u2021', '\x87'}, {U'\u02C6', '\x88'},
    {U'\u2030', '\x89'}, {U'\u0160', '\x8A'}, {U'\u2039', '\x8B'}, {U'\u0152', '\x8C'},
    {U'\u017D', '\x8E'}, {U'\u2018', '\x91'}, {U'\u2019', '\x92'}, {U'\u201C', '\x93'},
    {U'\u201D', '\x94'}, {U'\u2022', '\x95'}, {U'\u2013', '\x96'}, {U'\u2014', '\x97'},
    {U'\u02DC', '\x98'}, {U'\u2122', '\x99'}, {U'\u0161', '\x9A'}, {U'\u203A', '\x9B'},
    {U'\u0153', '\x9C'}, {U'\u017E', '\x9E'}, {U'\u0178', '\x9F'},
}};

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool IsAsciiBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char AsciiLowerCharacter(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char AnsiByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto* entry = std::find_if(kAnsiHighBlock.begin(), kAnsiHighBlock.end(),
                                     [c](const auto& e) { return e.first == c; });
    return entry == kAnsiHighBlock.end() ? '?' : entry->second;
}

char32_t AnsiCharacter(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const auto* entry = std::find_if(kAnsiHighBlock.begin(), kAnsiHighBlock.end(),
                                     [byte](const auto& e) { return static_cast<unsigned char>(e.second) == byte; });
    return entry == kAnsiHighBlock.end() ? byte : entry->first;
}

// Appends the UTF-8 bytes of a character of the Basic Multilingual Plane.
void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool HasControlCharacter(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        at += DecodeCharacter(text, at, c);
        if (IsControl(c))
            return true;
    }
    return false;
}

std::string EncodeAnsi(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        at += DecodeCharacter(text, at, c);
        bytes += AnsiByte(c);
    }
    return bytes;
}

std::string DecodeAnsi(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        AppendUtf8(text, AnsiCharacter(static_cast<unsigned char>(byte)));
    return text;
}

std::string DecodeLatin1(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        AppendUtf8(text, static_cast<unsigned char>(byte));
    return text;
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLowerCharacter);
    return lower;
}

std::string_view TrimAscii(std::string_view text)
{
    while (!text.empty() && IsAsciiBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsAsciiBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace quorvex
