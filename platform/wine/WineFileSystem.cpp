#include "platform/wine/WineFileSystem.h"

#include "platform/wine/NativeCopy.h"
#include "platform/wine/NativeFile.h"
#include "platform/wine/Paths.h"
#include "platform/wine/WinePrefix.h"

#include <system_error>

namespace quorvex {

namespace fs = std::filesystem;

fs::path TWineFileSystem::NativePath(const std::string& path) const
{
    return ResolvePath(path, WinePrefix());
}

bool TWineFileSystem::FileExists(const std::string& path) const
{
    std::error_code error;
    return fs::is_regular_file(NativePath(path), error);
}

std::vector<std::uint8_t> TWineFileSystem::ReadFile(const std::string& path) const
{
    return ReadNativeFile(NativePath(path));
}

void TWineFileSystem::WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const
{
    WriteNativeFileAtomically(NativePath(path), bytes);
}

bool TWineFileSystem::ReplaceUnchangedFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                           const TFileIdentity& identity) const
{
    return ReplaceUnchangedNativeFile(NativePath(path), bytes, identity);
}

std::optional<TFileIdentity> TWineFileSystem::Identity(const std::string& path) const
{
    return FileIdentity(NativePath(path));
}

bool TWineFileSystem::CopyUnchangedFile(const std::string& source, const TFileIdentity& identity,
                                        const std::string& target) const
{
    return CloneUnchangedNativeFile(NativePath(source), identity, NativePath(target));
}

bool TWineFileSystem::DeleteFile(const std::string& path) const
{
    // A read-only file is not deleted, as on Windows and under Wine.
    const fs::path native = NativePath(path);
    std::error_code error;
    return fs::is_regular_file(native, error) && ReplaceRefusal(native) == 0 && fs::remove(native, error);
}

}  // namespace quorvex
