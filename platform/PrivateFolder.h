// Folders that only the current user may change, for per-user state kept in
// a folder shared by every user (the temporary folder).
#pragma once

#include <filesystem>
#include <string>

namespace quorvex {

// Why a folder is not private, as a sentence ("It belongs to another user.",
// "Other users can write into it.", the system's reason when it cannot be
// examined); empty when it is: a real folder, not a link, owned by the
// current user, into which no one else may write.
std::string PrivateFolderRefusal(const std::filesystem::path& path);

// Makes sure path is a private folder: created (rwx for the user alone) when
// missing, an existing one judged by PrivateFolderRefusal. Empty when it is,
// else the reason it is not, as a sentence.
std::string EnsurePrivateFolder(const std::filesystem::path& path);

// The current user's numeric id, in decimal.
std::string CurrentUserId();

// The current user's entry in the user database (read in a way that is safe
// beside other threads); empty texts when there is none.
struct TUserAccount {
    std::string Name;
    std::string Home;
};
TUserAccount CurrentUserAccount();

}  // namespace quorvex
