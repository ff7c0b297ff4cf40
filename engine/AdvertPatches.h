// The advert patch table: the UTF-16LE advert URLs (and the "urls" marker)
// held in the messenger executable, each with the same-length bytes that
// replace it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvex {

enum class TAdvert { Urls, ChangeBanner, ChatAdvert, RegCam, MedCam, BigCam, UpCam, VidAd };

inline constexpr std::size_t kAdvertCount = 8;

struct TAdvertPatch {
    TAdvert Advert;
    std::string_view Name;                 // the engine operation's name
    std::vector<std::uint8_t> Pattern;
    std::vector<std::uint8_t> Replacement;  // always Pattern.size() bytes
};

// The rows, in the order of TAdvert.
const std::array<TAdvertPatch, kAdvertCount>& AdvertPatches();
const TAdvertPatch& AdvertPatch(TAdvert advert);

// The UTF-16LE code units of an ASCII text, without a terminator.
std::vector<std::uint8_t> Utf16Le(std::string_view ascii);

}  // namespace quorvex
