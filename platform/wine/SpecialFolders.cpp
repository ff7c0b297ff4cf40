#include "platform/SpecialFolders.h"

#include "platform/PrivateFile.h"
#include "platform/wine/WinePrefix.h"

#include <cstdlib>

namespace quorvex {
namespace {

std::string DataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/')
        return data;
    const std::filesystem::path home = HomeFolder();
    return home.empty() ? std::string() : (home / ".local" / "share").string();
}

}  // namespace

TSpecialFolders SystemSpecialFolders()
{
    return TSpecialFolders{DataFolder(), (WinePrefix() / "drive_c" / "windows").string(),
                           PrivateTemporaryFolder().string()};
}

}  // namespace quorvex
