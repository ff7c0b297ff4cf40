// A synthetic messenger installation: a Wine-style prefix holding an
// executable-like YahooMessenger.exe with every advert pattern, the skin
// folders, and registry files with the messenger's version and settings.
#pragma once

#include "engine/AdvertPatches.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

struct TFakeMessengerOptions {
    std::string Version = "10.0.0.1270";  // "" leaves the messenger's version key out
    bool Win64 = false;                    // "#arch=win64": version under Software\Wow6432Node
    std::size_t ImageSize = std::size_t{2} << 20;
    std::uint32_t Seed = 1;                // of the filler bytes
    // HKCU settings; an empty one is left out.
    std::optional<std::int32_t> LaunchOnStartup = 1;
    std::optional<std::int32_t> SmileySearch = 1;
    std::optional<std::int32_t> Plural;
    bool TestKey = true;     // Software\yahoo\pager\Test, where "Plural" lives
    bool RunEntries = true;  // "Yahoo! Pager" and "Messenger (Yahoo!)" in the Run key
    // At least this many bytes of other programs' keys in user.reg and in
    // system.reg, before the messenger's, as in a prefix with many programs.
    std::size_t UserRegistryPadding = 0;
    std::size_t SystemRegistryPadding = 0;
};

struct TFakeImage {
    std::vector<std::uint8_t> Bytes;
    // Where each advert pattern was placed, lowest offset first.
    std::map<TAdvert, std::vector<std::size_t>> Occurrences;
    // The main advert byte's offset for the version; 0 when there is none.
    std::int32_t MainAdvertOffset = 0;
};

inline constexpr const char* kFakeMessengerFolder = "drive_c/Program Files/Yahoo!/Messenger";

// The executable's bytes: "MZ", filler, the patterns (some at odd offsets,
// some twice, "urls" three times) and the expected main advert byte at the
// version's offset. Throws Error when the size cannot hold them.
TFakeImage BuildFakeImage(const TFakeMessengerOptions& options);

// The text of user.reg and system.reg in Wine's format.
std::string FakeUserRegistry(const TFakeMessengerOptions& options);
std::string FakeSystemRegistry(const TFakeMessengerOptions& options);

// Writes the installation into prefix (created if needed; existing files of
// the same names are replaced) and returns the executable's layout.
TFakeImage CreateFakeMessenger(const std::filesystem::path& prefix, const TFakeMessengerOptions& options);

}  // namespace quorvex
