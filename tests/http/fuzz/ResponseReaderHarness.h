// Feeds arbitrary bytes, cut at arbitrary points, to the HTTP response reader
// and checks what it reports. Shared by the libFuzzer target and the test that
// replays the kept corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvex::fuzz {

// Returns the first broken rule, or an empty text. The first input byte picks
// the request kind, the version and whether the body is abandoned midway; the
// second sets how the rest is cut into reads.
std::string ReadResponse(const std::uint8_t* data, std::size_t size);

}  // namespace quorvex::fuzz
