#include "update/PrivateProfile.h"

#include "platform/Text.h"
#include "update/UpdateText.h"

namespace quorvex {
namespace {

bool IsQuote(char16_t c)
{
    return c == u'"' || c == u'\'';
}

std::u16string WithoutEnclosingQuotes(std::u16string value)
{
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The value as the system's C string holds it: up to its first NUL.
std::u16string UpToNul(std::u16string_view value)
{
    return std::u16string(value.substr(0, value.find(u'\0')));
}

}  // namespace

TPrivateProfile TPrivateProfile::FromBytes(std::string_view bytes)
{
    return FromText(DecodeTextFile(bytes));
}

TPrivateProfile TPrivateProfile::FromText(std::string_view text)
{
    TPrivateProfile profile;
    for (const std::string& line : SplitLines(text))
        profile.lines_.push_back(Trimmed(Utf8ToUtf16(line)));
    return profile;
}

std::string TPrivateProfile::ReadString(std::string_view section, std::string_view key) const
{
    const std::u16string wantedSection = Utf8ToUtf16(section);
    const std::u16string wantedKey = Utf8ToUtf16(key);
    bool inSection = false;
    for (const std::u16string& line : lines_) {
        // A "[" without its "]" makes no header: the line is read as any other.
        const std::size_t close = line.starts_with(u'[') ? line.find(u']') : std::u16string::npos;
        if (close != std::u16string::npos && close > 0) {
            if (inSection)
                return {};  // the end of the first section of that name
            inSection = EqualsNoCase(Trimmed(std::u16string_view(line).substr(1, close - 1)), wantedSection);
            continue;
        }
        const std::size_t equals = line.find(u'=');
        if (inSection && equals != std::u16string::npos
            && EqualsNoCase(Trimmed(std::u16string_view(line).substr(0, equals)), wantedKey)) {
            const std::u16string value = Trimmed(std::u16string_view(line).substr(equals + 1));
            return Utf16ToUtf8(WithoutEnclosingQuotes(UpToNul(value)).substr(0, kMaxValueLength));
        }
    }
    return {};
}

}  // namespace quorvex
