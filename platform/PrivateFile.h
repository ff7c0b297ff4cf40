// Files that no other user can reach or redirect: the per-user private folder
// of the update checker's temporary files, and new files that are created
// exclusively (never an existing file, never through a link, readable and
// writable by their owner only) and take their final name by a rename once
// they are complete.
#pragma once

#include "platform/FileBlocks.h"
#include "platform/PrivateFolder.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace quorvex {

// The user's private temporary folder: the one Wine gives the user in the
// prefix (drive_c/users/<user>/AppData/Local/Temp, else .../Temp) when it is
// private, else $XDG_CACHE_HOME/quorvex (~/.cache/quorvex), created with mode
// 0700. Throws Error naming the folder and the reason when neither will do.
std::filesystem::path PrivateTemporaryFolder();

// A file created here, open for reading and writing, in a folder that it
// holds open: it is written, renamed and deleted in that very folder
// (platform/PrivateFolder.h) whatever becomes of the folder's path. Unless
// it is renamed into place, it is closed and deleted when the object goes,
// and then only if its name still leads to this very file.
class TPrivateFile {
public:
    // A new file named prefix + six random characters + suffix in folder,
    // created exclusively with mode 0600. Throws FileCreateError with the
    // system's reason.
    static TPrivateFile Create(const TFolderHandle& folder, const std::string& prefix, const std::string& suffix);
    // The same in the folder at path, reached through links as any path.
    static TPrivateFile Create(const std::filesystem::path& folder, const std::string& prefix,
                               const std::string& suffix);
    // A new file beside the file name in folder ("<name>.XXXXXX.part"), to be
    // renamed to it once complete. Throws FileCreateError for the target when
    // it is a folder, which no file can replace.
    static TPrivateFile CreateBeside(const TFolderHandle& folder, const std::string& name);
    // The same beside target, whose folder is reached through links as any path.
    static TPrivateFile CreateBeside(const std::filesystem::path& target);

    TPrivateFile(TPrivateFile&& other) noexcept;
    TPrivateFile& operator=(TPrivateFile&& other) noexcept;
    TPrivateFile(const TPrivateFile&) = delete;
    TPrivateFile& operator=(const TPrivateFile&) = delete;
    ~TPrivateFile();

    // The file's path: its folder's path and its name.
    const std::filesystem::path& Path() const { return path_; }
    // The open descriptor, owned by this object; -1 once closed.
    int Descriptor() const { return descriptor_; }

    // Writes all of bytes at the current position. Throws Error("Cannot
    // write file "<path>". <reason>").
    void Write(std::span<const std::uint8_t> bytes);
    // The same, but returns the system's reason when the bytes could not all
    // be written (empty when they were).
    std::string TryWrite(std::span<const std::uint8_t> bytes);
    // The position of the next write, and the file's size.
    std::uint64_t Position() const;
    std::uint64_t Size() const;
    // Drops the bytes from position on and writes there next. Throws Error
    // with the system's reason.
    void CutBack(std::uint64_t position);
    // A reader of the file's bytes from its start, with a position of its
    // own: writes go on where they were. Valid while the file is open.
    std::unique_ptr<TFileBlocks> ReadBlocks() const;
    // Gives the file the name `name` in its folder: whatever has that name (a
    // file, a link) is replaced, never followed. Throws Error with the
    // system's reason; the file stays as it was then.
    void RenameTo(const std::string& name);
    // Like RenameTo, but only while nothing has the name; otherwise throws
    // Error with the system's reason ("File exists").
    void RenameToNew(const std::string& name);
    // Closes the file and deletes it if its name still leads to it.
    void Discard();

private:
    TPrivateFile(TFolderHandle folder, std::string name, int descriptor);
    // prefix + six random letters or digits + suffix: a name to try.
    static std::string NewName(const std::string& prefix, const std::string& suffix);
    void Close();
    std::string RenameError(const std::string& name) const;

    std::optional<TFolderHandle> folder_;  // none once moved from
    std::string name_;
    std::filesystem::path path_;
    int descriptor_ = -1;
};

}  // namespace quorvex
