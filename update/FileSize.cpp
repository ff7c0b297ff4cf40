#include "update/FileSize.h"

namespace quorvex {
namespace {

constexpr std::int64_t kKiloByte = 1024;
constexpr std::int64_t kMegaByte = 1024 * kKiloByte;
constexpr std::int64_t kGigaByte = 1024 * kMegaByte;

// The value's digits with a separator before every group of three, counted
// from the right, whatever grouping the locale itself would use.
std::string Grouped(std::int64_t value, const std::string& separator)
{
    std::string digits = std::to_string(value);
    const std::size_t firstDigit = value < 0 ? 1 : 0;
    for (std::size_t at = digits.size(); at > firstDigit + 3;) {
        at -= 3;
        digits.insert(at, separator);
    }
    return digits;
}

// A fixed unit: zero reads 0, anything below one unit reads 1.
std::string InFixedUnit(std::int64_t bytes, std::int64_t unitSize, const char* suffix, const std::string& separator)
{
    const std::string unit = std::string(" ") + suffix;
    if (bytes == 0)
        return "0" + unit;
    if (bytes < unitSize)
        return "1" + unit;
    return Grouped(bytes / unitSize, separator) + unit;
}

std::string InAutomaticUnit(std::int64_t bytes, const std::string& separator)
{
    if (bytes > kGigaByte)
        return Grouped(bytes / kGigaByte, separator) + " GB";
    if (bytes > kMegaByte)
        return Grouped(bytes / kMegaByte, separator) + " MB";
    if (bytes > kKiloByte)
        return Grouped(bytes / kKiloByte, separator) + " KB";
    return Grouped(bytes, separator) + " B";
}

}  // namespace

std::string FormatFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit, const std::string& thousandsSeparator)
{
    switch (unit) {
    case TVelkAppUpdateFileSizeUnit::Auto: return InAutomaticUnit(bytes, thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::Bytes: return Grouped(bytes, thousandsSeparator) + " B";
    case TVelkAppUpdateFileSizeUnit::KiloBytes: return InFixedUnit(bytes, kKiloByte, "KB", thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::MegaBytes: return InFixedUnit(bytes, kMegaByte, "MB", thousandsSeparator);
    case TVelkAppUpdateFileSizeUnit::GigaBytes: return InFixedUnit(bytes, kGigaByte, "GB", thousandsSeparator);
    }
    return {};
}

}  // namespace quorvex
