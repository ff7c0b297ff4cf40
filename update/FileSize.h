// Size texts of the update download: a byte count in the unit the update
// component asks for, with thousands separators.
#pragma once

#include <cstdint>
#include <string>

namespace quorvex {

enum class TVelkAppUpdateFileSizeUnit { Auto, Bytes, KiloBytes, MegaBytes, GigaBytes };

// Every division drops its remainder. Auto picks the largest unit the size
// is above (not at): 1,024 bytes read "1,024 B", 1,025 bytes "1 KB". A fixed
// unit shows a size below one unit as 1 of it, and zero as 0.
std::string FormatFileSize(std::int64_t bytes, TVelkAppUpdateFileSizeUnit unit, const std::string& thousandsSeparator);

}  // namespace quorvex
