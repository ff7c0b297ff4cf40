#include "update/UpdateText.h"

#include "http/HttpText.h"
#include "platform/Text.h"

namespace quorvex {
namespace {

std::u16string Utf16Units(std::string_view bytes, bool bigEndian)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return units;
}

}  // namespace

std::string DecodeTextFile(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Utf16ToUtf8(Utf8ToUtf16(bytes.substr(3)));  // as valid UTF-8, whatever the bytes
    if (bytes.starts_with("\xFF\xFE"))
        return Utf16ToUtf8(Utf16Units(bytes.substr(2), false));
    if (bytes.starts_with("\xFE\xFF"))
        return Utf16ToUtf8(Utf16Units(bytes.substr(2), true));
    return DecodeAnsi(bytes);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, at - start));
        if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool IsBlank(char16_t unit)
{
    return (unit >= u'\t' && unit <= u'\r') || unit == u' ' || unit == u'\u0085' || unit == u'\u00A0'
           || unit == u'\u1680' || (unit >= u'\u2000' && unit <= u'\u200A') || unit == u'\u2028'
           || unit == u'\u2029' || unit == u'\u202F' || unit == u'\u205F' || unit == u'\u3000';
}

std::u16string Trimmed(std::u16string_view text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && IsBlank(text[first]))
        ++first;
    while (end > first && IsBlank(text[end - 1]))
        --end;
    return std::u16string(text.substr(first, end - first));
}

std::string Trimmed(std::string_view text)
{
    return Utf16ToUtf8(Trimmed(Utf8ToUtf16(text)));
}

}  // namespace quorvex
