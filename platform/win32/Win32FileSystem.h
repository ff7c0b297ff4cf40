// Files through the Win32 wide-character file API. Path texts are used as
// Windows resolves them: relative names against the working folder. Messages
// name the file by its full path.
#pragma once

#include "platform/FileSystem.h"

#include <functional>

namespace quorvex {

class TWin32FileSystem final : public TFileSystem {
public:
    explicit TWin32FileSystem(std::chrono::milliseconds changeWait = kFileChangeWait) : changeWait_(changeWait) {}

    std::filesystem::path NativePath(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    // Shares the file with readers only while it is read.
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override;
    // A temporary file beside the target, flushed, then moved over the target
    // (MoveFileExW, replacing and writing through), while the change lock
    // ".<name>.quorvex-lock" beside it is held open and shared with no one:
    // Quorvex processes replace a file in turn. A read-only file or a
    // folder is refused with the system's "access denied" text, as Windows
    // refuses them (Wine would replace a read-only file); a refusal for lack
    // of rights says to run from an administrator prompt.
    void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const override;
    bool ReplaceUnchangedFile(const std::string& path, std::span<const std::uint8_t> bytes,
                              const TFileIdentity& identity) const override;
    // The volume's serial number, the file index, the size and the last
    // write and change times.
    std::optional<TFileIdentity> Identity(const std::string& path) const override;
    // A plain copy, read while writers are shut out and written as WriteFile
    // writes; false when the source cannot be opened so or has changed.
    bool CopyUnchangedFile(const std::string& source, const TFileIdentity& identity,
                           const std::string& target) const override;
    // A read-only file is not deleted, as on Windows.
    bool DeleteFile(const std::string& path) const override;

private:
    // Replaces the file under its change lock when unchanged() says so, with
    // the lock held.
    bool Replace(const std::string& path, std::span<const std::uint8_t> bytes,
                 const std::function<bool(const std::wstring&)>& unchanged) const;

    std::chrono::milliseconds changeWait_;
};

}  // namespace quorvex
