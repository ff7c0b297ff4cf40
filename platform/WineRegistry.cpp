#include "platform/WineRegistry.h"

#include "platform/Error.h"
#include "platform/HiveCache.h"
#include "platform/NativeFile.h"
#include "platform/RegistryHive.h"
#include "platform/Text.h"
#include "platform/WinePrefix.h"

#include <filesystem>
#include <functional>
#include <thread>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

using TEdit = std::function<bool(TRegistryHive&, TTextRange)>;

// A 32-bit program's view of HKEY_LOCAL_MACHINE\Software in a 64-bit prefix.
std::u16string RedirectTo32Bit(std::u16string_view path)
{
    constexpr std::u16string_view kSoftware = u"Software";
    constexpr std::u16string_view kNode = u"Wow6432Node";
    while (path.starts_with(u'\\'))
        path.remove_prefix(1);
    const std::size_t first = path.find(u'\\');
    const std::u16string_view head = path.substr(0, first);
    const std::u16string_view rest = first == std::u16string_view::npos ? u"" : path.substr(first + 1);
    if (!EqualsNoCase(head, kSoftware) || EqualsNoCase(rest.substr(0, rest.find(u'\\')), kNode))
        return std::u16string(path);
    return std::u16string(head) + u"\\" + std::u16string(kNode) + (rest.empty() ? u"" : u"\\") + std::u16string(rest);
}

std::string InvalidType(const std::string& name)
{
    return "Invalid data type for \"" + name + "\"";
}

class TWineRegistryKey final : public TRegistryKey {
public:
    TWineRegistryKey(fs::path hiveFile, std::u16string keyPath, std::shared_ptr<const THiveSnapshot> hive,
                     TTextRange key, std::chrono::milliseconds wineserverWait)
        : hiveFile_(std::move(hiveFile)), keyPath_(std::move(keyPath)), hive_(std::move(hive)), key_(key),
          wineserverWait_(wineserverWait)
    {
    }

    bool ValueExists(const std::string& name) const override { return Find(name).has_value(); }

    std::int32_t ReadInteger(const std::string& name) const override
    {
        const auto entry = Find(name);
        if (!entry)
            throw RegistryError("Failed to get data for \"" + name + "\"");
        if (!entry->Data || entry->Data->Type != kRegDword || entry->Data->Bytes.size() != 4)
            throw RegistryError(InvalidType(name));
        const auto& b = entry->Data->Bytes;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                         static_cast<std::uint32_t>(b[2]) << 16 |
                                         static_cast<std::uint32_t>(b[3]) << 24);
    }

    std::string ReadString(const std::string& name) const override
    {
        const auto entry = Find(name);
        if (!entry)
            return {};
        if (!entry->Data || (entry->Data->Type != kRegSz && entry->Data->Type != kRegExpandSz))
            throw RegistryError(InvalidType(name));
        const auto& bytes = entry->Data->Bytes;
        std::u16string text;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
            if (unit == 0)
                break;
            text.push_back(unit);
        }
        return Utf16ToUtf8(text);
    }

    void WriteInteger(const std::string& name, std::int32_t value) override
    {
        const std::u16string wide = Utf8ToUtf16(name);
        Change("Failed to set data for \"" + name + "\". ", [&](TRegistryHive& hive, TTextRange key) {
            hive.SetDword(key, wide, static_cast<std::uint32_t>(value));
            return true;
        });
    }

    bool DeleteValue(const std::string& name) override
    {
        const std::u16string wide = Utf8ToUtf16(name);
        return Change("Failed to delete \"" + name + "\". ",
                      [&](TRegistryHive& hive, TTextRange key) { return hive.DeleteValue(key, wide); });
    }

private:
    std::optional<TValueEntry> Find(const std::string& name) const
    {
        return hive_->Hive().FindValue(key_, Utf8ToUtf16(name));
    }

    // Applies the edit to the file as it is now and writes the result back;
    // false when the edit finds nothing to change. failure starts the message
    // of the RegistryError thrown when the change cannot be made.
    bool Change(const std::string& failure, const TEdit& edit)
    {
        if (!Edited(failure, edit))
            return false;
        if (!WineserverGone()) {
            throw RegistryError(failure + "The Wine prefix is in use: its wineserver is still running. "
                                          "Close the programs running under Wine and try again.");
        }
        // Read again: a wineserver that just exited may have rewritten the file.
        std::optional<TRegistryHive> hive = Edited(failure, edit);
        if (!hive)
            return false;
        try {
            const std::string& text = hive->Text();
            WriteNativeFileAtomically(hiveFile_,
                                      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        } catch (const Error& error) {
            throw RegistryError(failure + error.what());
        }
        hive_ = std::make_shared<const THiveSnapshot>(std::move(*hive));
        key_ = *hive_->FindKey(keyPath_);
        return true;
    }

    // The file as it is now with the edit applied; empty when the edit finds
    // nothing to change.
    std::optional<TRegistryHive> Edited(const std::string& failure, const TEdit& edit) const
    {
        std::shared_ptr<const THiveSnapshot> current;
        try {
            current = CurrentHive(hiveFile_);
        } catch (const Error& error) {
            throw RegistryError(failure + error.what());
        }
        const auto key = current->FindKey(keyPath_);
        if (!key)
            throw RegistryError(failure + "The key no longer exists.");
        TRegistryHive hive = current->Hive();
        if (!edit(hive, *key))
            return std::nullopt;
        return hive;
    }

    bool WineserverGone() const
    {
        const fs::path prefix = hiveFile_.parent_path();
        const auto deadline = std::chrono::steady_clock::now() + wineserverWait_;
        while (WineserverRunning(prefix)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    fs::path hiveFile_;
    std::u16string keyPath_;
    std::shared_ptr<const THiveSnapshot> hive_;  // the file as the key last saw it
    TTextRange key_;
    std::chrono::milliseconds wineserverWait_;
};

}  // namespace

std::unique_ptr<TRegistryKey> TWineRegistry::OpenKey(TRootKey root, const std::string& path, TKeyAccess access) const
{
    const fs::path hiveFile = WinePrefix() / (root == TRootKey::CurrentUser ? "user.reg" : "system.reg");
    std::shared_ptr<const THiveSnapshot> hive;
    try {
        hive = CurrentHive(hiveFile);
    } catch (const Error&) {
        return nullptr;
    }
    if (!hive->Hive().IsValid())
        return nullptr;
    std::u16string keyPath = Utf8ToUtf16(path);
    if (root == TRootKey::LocalMachine && hive->Hive().Is64Bit())
        keyPath = RedirectTo32Bit(keyPath);
    const auto key = hive->FindKey(keyPath);
    if (!key || (access == TKeyAccess::ReadWrite && !NativeFileWritable(hiveFile)))
        return nullptr;
    return std::make_unique<TWineRegistryKey>(hiveFile, std::move(keyPath), std::move(hive), *key, wineserverWait_);
}

}  // namespace quorvex
