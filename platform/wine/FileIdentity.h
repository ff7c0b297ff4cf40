// A file's identity on Linux, from its path or an open descriptor.
#pragma once

#include "platform/FileIdentity.h"

#include <filesystem>
#include <optional>

namespace quorvex {

// The identity of the regular file at the path (links followed), or of an
// open file descriptor; empty for anything else or nothing.
std::optional<TFileIdentity> FileIdentity(const std::filesystem::path& file);
std::optional<TFileIdentity> FileIdentity(int descriptor);

}  // namespace quorvex
