// Helpers of the Win32 backend's tests, which run under Wine.
#pragma once

#include "platform/Error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quorvex::test {

// A fresh folder under the user's temporary folder, removed with its content.
class TWin32TempFolder {
public:
    TWin32TempFolder();
    ~TWin32TempFolder();
    TWin32TempFolder(const TWin32TempFolder&) = delete;
    TWin32TempFolder& operator=(const TWin32TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The UTF-8 path text of name inside the folder, as Quorvex passes paths.
    std::string operator/(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path path_;
};

// A random hexadecimal text, for names that other runs do not share.
std::string UniqueSuffix();

std::vector<std::uint8_t> Bytes(const std::string& text);

// The message of the Failure that call throws; "(no error)" when it throws none.
template <class Failure = Error>
std::string ThrownMessage(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "(no error)";
}

}  // namespace quorvex::test
