// What is known about the installed messenger: its version from the registry,
// its major version, the offset of the main advert byte for its build, and
// whether it runs. Each call reads the registry or the process list afresh.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

inline constexpr std::string_view kDefaultMessengerFolder = "C:\\Program Files\\Yahoo!\\Messenger";
inline constexpr std::string_view kNoMessengerVersion = "0.0.0.0";

struct TVersionOffset {
    std::string_view Version;
    std::int32_t Offset;
};

// The builds whose main advert byte offset is known, in lookup order.
extern const std::array<TVersionOffset, 22> kVersionOffsets;

// The main advert byte expected at the offset and the byte written there.
struct TMainAdvertByte {
    std::uint8_t Expected;
    std::uint8_t Replacement;
};
TMainAdvertByte MainAdvertByte(std::uint8_t major);

// "ProductVersion" of HKEY_LOCAL_MACHINE\SOFTWARE\yahoo\pager; "0.0.0.0" when
// the key or value is missing or empty. Throws RegistryError when the value
// is not a string.
std::string YahooVersion();

// The first number of the version, low 8 bits; 0 when the text has no ".".
// Throws ConvertError quoting the first part when it is not a whole number.
std::uint8_t YahooMajorVersion(const std::string& version);

// The main advert byte's offset for a version (exact text), 0 when unknown.
std::int32_t VersionOffset(const std::string& version);

bool YahooRunning();

}  // namespace quorvex
