#include "update/UpdateVersion.h"

#include "platform/Text.h"

namespace quorvex {
namespace {

std::string FileNamePart(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string UpdateSectionName(const std::string& executableFileName, const std::vector<std::string>& arguments)
{
    std::string name = executableFileName;
    if (name == "rundll32.exe") {
        const std::string library = arguments.size() > 1 ? arguments[1] : std::string();
        name = FileNamePart(library.substr(0, library.find(',')));
    }
    return name.substr(0, name.find('.'));
}

bool IsOlderVersion(const std::string& version, const std::string& than)
{
    return Utf8ToUtf16(version) < Utf8ToUtf16(than);
}

}  // namespace quorvex
