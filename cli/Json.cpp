#include "cli/Json.h"

#include <cstdint>
#include <cstdio>

namespace quorvex::cli {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// it does not start with one (overlong forms, surrogates and values above
// U+10FFFF are not well formed).
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t at = 2; at < length; ++at) {
        if (byte(at) < 0x80 || byte(at) > 0xBF)
            return 0;
    }
    return length;
}

void AppendEscaped(std::string& json, char c)
{
    switch (c) {
    case '"': json += "\\\""; break;
    case '\\': json += "\\\\"; break;
    case '\n': json += "\\n"; break;
    case '\r': json += "\\r"; break;
    case '\t': json += "\\t"; break;
    default:
        if (static_cast<std::uint8_t>(c) < 0x20) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            json += escape;
        } else {
            json += c;
        }
    }
}

}  // namespace

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            json += kReplacementCharacter;
            text.remove_prefix(1);
        } else if (length == 1) {
            AppendEscaped(json, text.front());
            text.remove_prefix(1);
        } else {
            json += text.substr(0, length);
            text.remove_prefix(length);
        }
    }
    return json + "\"";
}

}  // namespace quorvex::cli
