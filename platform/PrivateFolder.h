// Folders that only the current user may change, for per-user state kept in
// a folder shared by every user (the temporary folder).
#pragma once

#include <filesystem>
#include <string>

namespace quorvex {

// Makes sure path is a folder of the current user's own: created (rwx for the
// user alone) when missing; an existing one must be a real folder, not a
// link, owned by the user and writable by nobody else. Empty when it is,
// else the reason it is not, as a sentence.
std::string EnsurePrivateFolder(const std::filesystem::path& path);

// Why this process cannot create files in the folder (the system's text, such
// as "Read-only file system"); empty when it can.
std::string FolderWriteProblem(const std::filesystem::path& folder);

// The current user's numeric id, in decimal.
std::string CurrentUserId();

}  // namespace quorvex
