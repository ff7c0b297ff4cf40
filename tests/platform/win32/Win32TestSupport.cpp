#include "tests/platform/win32/Win32TestSupport.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>

namespace quorvex::test {

namespace fs = std::filesystem;

std::string UniqueSuffix()
{
    static std::random_device source;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(source()));
    return text;
}

TWin32TempFolder::TWin32TempFolder()
{
    wchar_t base[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, base) == 0)
        throw std::runtime_error("no temporary folder: " + Win32ErrorText(::GetLastError()));
    path_ = fs::path(base) / fs::path(WideText("quorvex-win32-" + UniqueSuffix()));
    if (!::CreateDirectoryW(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_.string() + ": " + Win32ErrorText(::GetLastError()));
}

TWin32TempFolder::~TWin32TempFolder()
{
    // A read-only file left by a test must not keep the folder.
    std::error_code error;
    for (fs::recursive_directory_iterator it(path_, error), end; !error && it != end; it.increment(error))
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, error);
}

std::string TWin32TempFolder::operator/(const std::string& name) const
{
    return NarrowText(path_.wstring()) + "\\" + name;
}

std::vector<std::string> TWin32TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(NarrowText(entry.path().filename().wstring()));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

}  // namespace quorvex::test
