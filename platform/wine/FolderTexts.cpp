#include "platform/wine/FolderTexts.h"

#include "platform/Platform.h"
#include "platform/wine/WinePrefix.h"

#include <algorithm>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// A path without "." and ".." components and without a trailing separator.
std::string Clean(const fs::path& path)
{
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

}  // namespace

std::optional<fs::path> ExistingNativeFolder(const std::string& folderText)
{
    if (folderText.empty())
        return std::nullopt;
    const fs::path native = FileSystem().NativePath(folderText);
    std::error_code error;
    if (!fs::is_directory(native, error))
        return std::nullopt;
    return native;
}

std::string WindowsFolderText(const std::string& nativeFolder)
{
    std::error_code error;
    const fs::path driveC = fs::canonical(WinePrefix() / "dosdevices" / "c:", error);
    if (error)
        return nativeFolder;
    const fs::path chosen = fs::weakly_canonical(nativeFolder, error);
    if (error)
        return nativeFolder;
    const std::string drive = Clean(driveC);
    const std::string folder = Clean(chosen);
    if (folder == drive)
        return "C:\\";
    if (!folder.starts_with(drive + '/'))
        return nativeFolder;
    std::string text = "C:" + folder.substr(drive.size());
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

}  // namespace quorvex
