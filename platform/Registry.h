// The Windows registry as Quorvex uses it: open an existing key, test, read,
// write and delete its values.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quorvex {

enum class TRootKey { CurrentUser, LocalMachine };
enum class TKeyAccess { Read, ReadWrite };

// An open key; closed when destroyed.
class TRegistryKey {
public:
    virtual ~TRegistryKey() = default;

    virtual bool ValueExists(const std::string& name) const = 0;
    // Throws RegistryError naming the value when it is missing or not a DWORD.
    virtual std::int32_t ReadInteger(const std::string& name) const = 0;
    // "" when the value is missing; throws RegistryError naming the value when
    // it is not a string.
    virtual std::string ReadString(const std::string& name) const = 0;
    // Writes a DWORD value, creating it if needed; throws RegistryError naming
    // the value when the registry refuses the change.
    virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
    // False when there was no such value; throws RegistryError naming the value
    // when the registry refuses the change.
    virtual bool DeleteValue(const std::string& name) = 0;
};

class TRegistry {
public:
    virtual ~TRegistry() = default;

    // Opens an existing key (components separated by backslashes); never
    // creates one. Null when the key is missing or the access is refused.
    // HKEY_LOCAL_MACHINE\Software is seen as a 32-bit program sees it.
    virtual std::unique_ptr<TRegistryKey> OpenKey(TRootKey root, const std::string& path, TKeyAccess access) const = 0;

    // Runs changes made through keys of this registry as one step that a
    // caller reports as one: a registry kept in files writes each changed
    // file once, after changes has run, and writes nothing when it throws.
    // Each change still answers at once, and reads see the changes before.
    virtual void ChangeTogether(const std::function<void()>& changes) const { changes(); }
};

}  // namespace quorvex
