#include "platform/win32/Win32Registry.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <cstring>

namespace quorvex {

namespace {

// Longer string values are refused rather than read.
constexpr DWORD kMaxStringBytes = 64 * 1024;

std::string InvalidType(const std::string& name)
{
    return "Invalid data type for \"" + name + "\"";
}

class TWin32RegistryKey final : public TRegistryKey {
public:
    explicit TWin32RegistryKey(HKEY key) : key_(key) {}
    ~TWin32RegistryKey() override { ::RegCloseKey(key_); }
    TWin32RegistryKey(const TWin32RegistryKey&) = delete;
    TWin32RegistryKey& operator=(const TWin32RegistryKey&) = delete;

    bool ValueExists(const std::string& name) const override
    {
        return ::RegQueryValueExW(key_, WideText(name).c_str(), nullptr, nullptr, nullptr, nullptr)
            == ERROR_SUCCESS;
    }

    std::int32_t ReadInteger(const std::string& name) const override
    {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LSTATUS status = ::RegQueryValueExW(key_, WideText(name).c_str(), nullptr, &type,
                                                  reinterpret_cast<BYTE*>(&value), &size);
        if (status == ERROR_FILE_NOT_FOUND)
            throw RegistryError("Failed to get data for \"" + name + "\"");
        if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof value)))
            throw RegistryError(InvalidType(name));
        if (status != ERROR_SUCCESS)
            throw RegistryError("Failed to get data for \"" + name + "\". " + Win32ErrorText(status));
        return static_cast<std::int32_t>(value);
    }

    std::string ReadString(const std::string& name) const override
    {
        const std::wstring wide = WideText(name);
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status = ::RegQueryValueExW(key_, wide.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return {};
        if (status == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
            throw RegistryError(InvalidType(name));
        if (status == ERROR_SUCCESS && size > kMaxStringBytes)
            throw RegistryError("Failed to get data for \"" + name + "\". The value is too long.");
        // One unit more than the size, so the text always ends in a null.
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        if (status == ERROR_SUCCESS)
            status = ::RegQueryValueExW(key_, wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                        &size);
        if (status != ERROR_SUCCESS)
            throw RegistryError("Failed to get data for \"" + name + "\". " + Win32ErrorText(status));
        text.resize(std::wcslen(text.c_str()));
        return NarrowText(text);
    }

    void WriteInteger(const std::string& name, std::int32_t value) override
    {
        const auto data = static_cast<DWORD>(value);
        const LSTATUS status = ::RegSetValueExW(key_, WideText(name).c_str(), 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&data), sizeof data);
        if (status != ERROR_SUCCESS)
            throw RegistryError("Failed to set data for \"" + name + "\". " + Win32ErrorText(status));
    }

    bool DeleteValue(const std::string& name) override
    {
        const LSTATUS status = ::RegDeleteValueW(key_, WideText(name).c_str());
        if (status == ERROR_FILE_NOT_FOUND)
            return false;
        if (status != ERROR_SUCCESS)
            throw RegistryError("Failed to delete \"" + name + "\". " + Win32ErrorText(status));
        return true;
    }

private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<TRegistryKey> TWin32Registry::OpenKey(TRootKey root, const std::string& path,
                                                      TKeyAccess access) const
{
    const HKEY base = root == TRootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    REGSAM rights = access == TKeyAccess::Read ? KEY_READ : KEY_ALL_ACCESS;
    if (root == TRootKey::LocalMachine)
        rights |= KEY_WOW64_32KEY;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(base, WideText(path).c_str(), 0, rights, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<TWin32RegistryKey>(key);
}

}  // namespace quorvex
