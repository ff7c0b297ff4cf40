// Copies of native files that share their data.
#pragma once

#include "platform/FileSystem.h"

#include <filesystem>
#include <optional>

namespace quorvex {

// Replaces or creates target as WriteNativeFileAtomically does, with a
// copy-on-write clone of source (ioctl FICLONE), flushed and renamed into
// place. Only while source keeps identity, checked on the open file before
// and after the clone. False, with target untouched and no temporary file
// left, when source cannot be opened or has changed or the file system
// refuses the clone (EOPNOTSUPP, EXDEV, EINVAL, ...). Throws FileCreateError
// or Error as WriteNativeFileAtomically does.
bool CloneUnchangedNativeFile(const std::filesystem::path& source, const TFileIdentity& identity,
                              const std::filesystem::path& target);

}  // namespace quorvex
