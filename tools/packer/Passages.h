// Documents written once for both systems: passages that only one system's
// program carries are set between marker lines of their own,
//
//   <!--only linux-->     the lines below go to the Linux program only
//   <!--only windows-->   the lines below go to the Windows program only
//   <!--end only-->       back to the lines both programs carry
//
// A passage for one system may follow another's directly. The marker lines
// themselves are never carried; every other byte is kept as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Whether the packer knows the system by this name ("linux", "windows").
bool KnownSystem(std::string_view system);

// The document as the given system's program carries it. Throws Error
// "<name>:<line>: <what is wrong>" for a marker it cannot follow (an unknown
// system, an end without a passage, the same system twice in a row, a
// passage still open at the end of the document).
std::vector<std::uint8_t> SystemPassages(const std::vector<std::uint8_t>& document, std::string_view system,
                                         const std::string& name);

}  // namespace quorvex
