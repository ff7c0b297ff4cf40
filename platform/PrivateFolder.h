// Folders that only the current user may change, for per-user state kept in
// a folder shared by every user (the temporary folder).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quorvex {

// Why a folder is not private, as a sentence ("It belongs to another user.",
// "Other users can write into it.", the system's reason when it cannot be
// examined); empty when it is: a real folder, not a link, owned by the
// current user, into which no one else may write. A trailing "/" does not
// make a link count as the folder it leads to.
std::string PrivateFolderRefusal(const std::filesystem::path& path);

// An open folder. Files are made, renamed and deleted in it by their names
// alone (platform/PrivateFile.h), so they stay in this very folder whatever
// later becomes of its path, such as the folder moved away and a link put in
// its place.
class TFolderHandle {
public:
    // The folder at path, which must be private (PrivateFolderRefusal) and is
    // never reached through a link. Throws Error("Cannot use the folder
    // "<path>". <refusal>").
    static TFolderHandle OpenPrivate(const std::filesystem::path& path);
    // The folder at path, through links as any path; nothing when it cannot
    // be opened, with the system's error code in error.
    static std::optional<TFolderHandle> Open(const std::filesystem::path& path, int& error);

    TFolderHandle(TFolderHandle&& other) noexcept;
    TFolderHandle& operator=(TFolderHandle&& other) noexcept;
    TFolderHandle(const TFolderHandle&) = delete;
    TFolderHandle& operator=(const TFolderHandle&) = delete;
    ~TFolderHandle();

    // Another handle of the same folder; nothing when the system has no
    // descriptor left, with its error code in error.
    std::optional<TFolderHandle> Duplicate(int& error) const;

    const std::filesystem::path& Path() const { return path_; }
    int Descriptor() const { return descriptor_; }
    // Whether the folder's path still names this very folder, not a link.
    bool StillAtItsPath() const;

private:
    TFolderHandle(std::filesystem::path path, int descriptor);

    std::filesystem::path path_;
    int descriptor_ = -1;
};

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
