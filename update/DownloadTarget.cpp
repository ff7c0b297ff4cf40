#include "update/DownloadTarget.h"

#include "platform/PrivateFolder.h"

#include <vector>

namespace quorvex {
namespace {

std::string WithSeparator(const std::string& folder)
{
    return folder.ends_with('/') ? folder : folder + "/";
}

bool IsPrivateFolder(const std::string& path)
{
    return PrivateFolderRefusal(path).empty();
}

}  // namespace

std::string DownloadFolder(const TSpecialFolders& folders)
{
    std::vector<std::string> candidates;
    if (!folders.LocalAppData.empty()) {
        candidates.push_back(WithSeparator(folders.LocalAppData) + "Downloaded Installations/");
        candidates.push_back(WithSeparator(folders.LocalAppData) + "Temp/");
    }
    if (!folders.Windows.empty())
        candidates.push_back(WithSeparator(folders.Windows) + "Downloaded Installations/");
    for (const std::string& candidate : candidates) {
        if (IsPrivateFolder(candidate))
            return candidate;
    }
    std::string temp = folders.Temp;
    while (temp.ends_with('/'))
        temp.pop_back();
    return temp + "/";
}

std::string URLFileName(const std::string& url)
{
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/") == std::string::npos && name.find("..") == std::string::npos;
}

}  // namespace quorvex
