// Whole-file reads and atomic whole-file writes on native paths.
#pragma once

#include "platform/wine/FileIdentity.h"
#include "platform/wine/PageBuffer.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvex {

// Reads a regular file whole. Throws Error("Cannot open file "<path>".
// <reason>") when it cannot be read, and when it is not a regular file (a
// pipe, a device, a socket, a folder): opening one never waits for a writer
// or a device, and nothing is read from it.
std::vector<std::uint8_t> ReadNativeFile(const std::filesystem::path& path);
std::string ReadNativeText(const std::filesystem::path& path);
// The same into a page buffer, for large files read often (the registry's).
// A file of more than limit bytes is refused ("File too large (more than ...)")
// before its size is allocated, and so is one that grows past it while read.
TPageBuffer ReadNativeFileToPages(const std::filesystem::path& path, std::uintmax_t limit);

// Replaces the file's whole content, or creates it: the bytes go to a new file
// in the same folder, which is then renamed over the target, so the target
// holds either its old or its new content, never a part. A symbolic link is
// followed and its target replaced; an existing file keeps its owner, group
// and permissions.
// Throws FileCreateError when the file cannot be created (folder not
// writable, target read-only or a folder) and Error("Cannot write file ...")
// when writing fails (disk full); the target is unchanged in both cases.
// Returns the identity of the file put in place, as TFileWriteStream::Commit.
// As WriteNativeFileAtomically, but only while the file still has identity
// once its change lock is held; false, with nothing written, otherwise.
bool ReplaceUnchangedNativeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                const TFileIdentity& identity);
std::optional<TFileIdentity> WriteNativeFileAtomically(const std::filesystem::path& path,
                                                       std::span<const std::uint8_t> bytes);

// The file that a write to path really replaces: a symbolic link's target.
std::filesystem::path WriteTarget(const std::filesystem::path& path);

// Why an existing file may not be replaced, as an errno value (EISDIR, EACCES,
// EROFS, ...); 0 when it may be, or does not exist. A file without write bits
// is read-only even for the superuser, as on Windows.
int ReplaceRefusal(const std::filesystem::path& path);

// Whether an existing file may be replaced: not a folder, and writable both
// by its permission bits (a file without write bits is read-only even for
// the superuser, as on Windows) and for this process.
bool NativeFileWritable(const std::filesystem::path& path);

// The operating system's text for an errno value.
std::string SystemErrorText(int code);

}  // namespace quorvex
