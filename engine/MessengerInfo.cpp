#include "engine/MessengerInfo.h"

#include "platform/Error.h"
#include "platform/Platform.h"

#include <algorithm>
#include <charconv>

namespace quorvex {

const std::array<TVersionOffset, 22> kVersionOffsets = {{
    {"11.0.0.2009", 1256209},
    {"11.0.0.1751", 1221500},
    {"10.0.0.1270", 494190},
    {"10.0.0.1267", 492584},
    {"10.0.0.1264", 493372},
    {"10.0.0.1258", 493252},
    {"10.0.0.1241", 492244},
    {"10.0.0.1102", 490342},
    {"10.0.0.542", 484510},
    {"10.0.0.525", 485572},
    {"9.0.0.2018", 223005},
    {"9.0.0.2034", 223400},
    {"9.0.0.2112", 230680},
    {"9.0.0.2123", 229794},
    {"9.0.0.2124", 230959},
    {"9.0.0.2128", 231027},
    {"9.0.0.2133", 229665},
    {"9.0.0.2136", 229665},
    {"9.0.0.2152", 228720},
    {"9.0.0.2160", 229197},
    {"9.0.0.2161", 227342},
    {"9.0.0.2162", 227342},
}};

namespace {

// A whole decimal number with optional leading blanks and sign, in the
// signed 32-bit range; ConvertError quoting the text otherwise.
std::int32_t ParseInteger(std::string_view text)
{
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    const bool plus = digits.starts_with('+');
    if (plus)
        digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || (plus && digits.starts_with('-')))
        throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

}  // namespace

TMainAdvertByte MainAdvertByte(std::uint8_t major)
{
    if (major == 10 || major == 11)
        return {0x57, 0x56};
    return {0x84, 0x83};
}

std::string YahooVersion()
{
    const auto key = Registry().OpenKey(TRootKey::LocalMachine, "SOFTWARE\\yahoo\\pager", TKeyAccess::Read);
    if (!key)
        return std::string(kNoMessengerVersion);
    std::string version = key->ReadString("ProductVersion");
    return version.empty() ? std::string(kNoMessengerVersion) : version;
}

std::uint8_t YahooMajorVersion(const std::string& version)
{
    const std::size_t dot = version.find('.');
    if (dot == std::string::npos)
        return 0;
    return static_cast<std::uint8_t>(ParseInteger(std::string_view(version).substr(0, dot)) & 0xFF);
}

std::int32_t VersionOffset(const std::string& version)
{
    const auto row = std::ranges::find(kVersionOffsets, version, &TVersionOffset::Version);
    return row == kVersionOffsets.end() ? 0 : row->Offset;
}

bool YahooRunning()
{
    return MessengerProbe().MessengerRunning();
}

}  // namespace quorvex
