#include "platform/wine/WineRegistry.h"

#include "platform/Error.h"
#include "platform/wine/FileChangeLock.h"
#include "platform/wine/HiveCache.h"
#include "platform/wine/NativeFile.h"
#include "platform/wine/RegistryHive.h"
#include "platform/Text.h"
#include "platform/wine/WinePrefix.h"

#include <filesystem>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// An edit of a key's values; key is the key's own section, empty while the
// key exists only through the keys below it.
using TEdit = std::function<bool(TRegistryHive&, std::optional<TTextRange> key)>;

fs::path HiveFile(const fs::path& prefix, TRootKey root)
{
    return prefix / (root == TRootKey::CurrentUser ? "user.reg" : "system.reg");
}

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

std::string InUse(const std::string& failure)
{
    return failure + "The Wine prefix is in use: its wineserver is still running. "
                     "Close the programs running under Wine and try again.";
}

// Waits up to wait for the prefix's wineserver to end; false when it still runs.
bool WineserverGone(const fs::path& prefix, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (WineserverRunning(prefix)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The file's change lock; failure starts the message of the error.
TFileChangeLock LockOrFail(const fs::path& file, const std::string& failure)
{
    try {
        return TFileChangeLock(file);
    } catch (const Error& error) {
        throw RegistryError(failure + error.what());
    }
}

// The file as it is now; failure starts the message of the error.
std::shared_ptr<const THiveSnapshot> CurrentHiveOr(const fs::path& file, const std::string& failure)
{
    try {
        return CurrentHive(file);
    } catch (const Error& error) {
        throw RegistryError(failure + error.what());
    }
}

// Applies the edit to the key of hive; false when it finds nothing to change.
bool ApplyEdit(TRegistryHive& hive, const std::u16string& keyPath, const std::string& failure, const TEdit& edit)
{
    const auto key = hive.FindKnownKey(keyPath);
    if (!key && !hive.KeyExists(keyPath))
        throw RegistryError(failure + "The key no longer exists.");
    return edit(hive, key);
}

}  // namespace

// Changes made together: each is tried at once on a working copy of its
// file, so that it tells whether it changes anything and later reads see
// it; at the end every changed file waits for (or fails on) the prefix's
// wineserver, and the changes are made again on the file as it is then and
// written in one go.
class TChangeGroup {
public:
    explicit TChangeGroup(std::chrono::milliseconds wineserverWait) : wineserverWait_(wineserverWait) {}

    // The working copy with the change made; empty when it changes nothing.
    std::shared_ptr<const THiveSnapshot> Add(const fs::path& file, const std::u16string& keyPath,
                                             const std::string& failure, const TEdit& edit)
    {
        const auto known = files_.find(file);
        std::shared_ptr<const THiveSnapshot> base;
        TRegistryHive hive =
            known != files_.end() ? Draft(known->second) : (base = CurrentHiveOr(file, failure))->EditableCopy();
        bool changed = false;
        try {
            changed = ApplyEdit(hive, keyPath, failure, edit);
        } catch (...) {
            if (known != files_.end())
                Restore(known->second, std::move(hive));
            throw;
        }
        if (!changed) {
            if (known != files_.end())
                Restore(known->second, std::move(hive));
            return nullptr;
        }
        TGroupedFile& grouped = files_[file];
        if (grouped.Edits.empty()) {
            grouped.Failure = failure;
            grouped.Base = std::move(base);
        }
        grouped.Edits.push_back({keyPath, failure, edit});
        grouped.Working = std::make_shared<THiveSnapshot>(std::move(hive));
        return grouped.Working;
    }

    // The file as the changes so far leave it; null while none was made to it.
    std::shared_ptr<const THiveSnapshot> Working(const fs::path& file) const
    {
        const auto found = files_.find(file);
        return found == files_.end() ? nullptr : found->second.Working;
    }

    // Writes each changed file once; false when a change found nothing to
    // change in the file as it was by then.
    bool Commit() const
    {
        bool allChanged = true;
        for (const auto& [file, grouped] : files_) {
            // Another Quorvex process changes the file before or after this
            // one, never meanwhile: from here the file is read as it is.
            const TFileChangeLock lock = LockOrFail(file, grouped.Failure);
            if (!WineserverGone(file.parent_path(), wineserverWait_))
                throw RegistryError(InUse(grouped.Failure));
            const std::shared_ptr<const THiveSnapshot> changed = Redone(file, grouped, allChanged);
            if (!changed)
                continue;
            try {
                const std::string_view text = changed->Hive().Text();
                const auto written = WriteNativeFileAtomically(
                    file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
                if (written)
                    AdoptWrittenHive(file, *written, changed);
            } catch (const Error& error) {
                throw RegistryError(grouped.Failure + error.what());
            }
        }
        return allChanged;
    }

private:
    struct TGroupedEdit {
        std::u16string KeyPath;
        std::string Failure;
        TEdit Edit;
    };
    struct TGroupedFile {
        std::string Failure;  // of the first change
        std::shared_ptr<const THiveSnapshot> Base;  // the file as the first change found it
        std::shared_ptr<THiveSnapshot> Working;
        std::vector<TGroupedEdit> Edits;
    };

    // The working copy's text to edit further: taken from it where no key
    // holds it any more, so that a change made of several edits copies the
    // file's text once.
    static TRegistryHive Draft(TGroupedFile& grouped)
    {
        if (grouped.Working.use_count() > 1)
            return grouped.Working->EditableCopy();
        TRegistryHive hive = grouped.Working->TakeHive();
        grouped.Working.reset();
        return hive;
    }

    // Puts back a draft that an edit left as it was.
    static void Restore(TGroupedFile& grouped, TRegistryHive hive)
    {
        if (!grouped.Working)
            grouped.Working = std::make_shared<THiveSnapshot>(std::move(hive));
    }

    // The changes made on the file as it is now: a wineserver that just
    // exited, or another Quorvex process, may have rewritten it. Where it is still as the first change
    // found it, that is the working copy. Empty when nothing changes;
    // allChanged ends false when a change found nothing to change.
    static std::shared_ptr<const THiveSnapshot> Redone(const fs::path& file, const TGroupedFile& grouped,
                                                       bool& allChanged)
    {
        const std::shared_ptr<const THiveSnapshot> current = CurrentHiveOr(file, grouped.Failure);
        if (current == grouped.Base)
            return grouped.Working;
        TRegistryHive hive = current->EditableCopy();
        bool anyChanged = false;
        for (const TGroupedEdit& edit : grouped.Edits) {
            const bool changed = ApplyEdit(hive, edit.KeyPath, edit.Failure, edit.Edit);
            anyChanged = anyChanged || changed;
            allChanged = allChanged && changed;
        }
        return anyChanged ? std::make_shared<THiveSnapshot>(std::move(hive)) : nullptr;
    }

    std::chrono::milliseconds wineserverWait_;
    std::map<fs::path, TGroupedFile> files_;
};

namespace {

class TWineRegistryKey final : public TRegistryKey {
public:
    TWineRegistryKey(fs::path hiveFile, std::u16string keyPath, std::shared_ptr<const THiveSnapshot> hive,
                     std::optional<TTextRange> key, std::chrono::milliseconds wineserverWait,
                     std::shared_ptr<TChangeGroupSlot> groupSlot)
        : hiveFile_(std::move(hiveFile)), keyPath_(std::move(keyPath)), hive_(std::move(hive)), key_(key),
          wineserverWait_(wineserverWait), groupSlot_(std::move(groupSlot))
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
        Change("Failed to set data for \"" + name + "\". ",
               // The group of changes may outlive this key: the edit keeps its own path.
               [path = keyPath_, wide, value](TRegistryHive& hive, std::optional<TTextRange> key) {
                   if (!key)
                       key = hive.WritableKey(path, std::chrono::system_clock::now());
                   hive.SetDword(*key, wide, static_cast<std::uint32_t>(value));
                   return true;
               });
    }

    bool DeleteValue(const std::string& name) override
    {
        const std::u16string wide = Utf8ToUtf16(name);
        return Change("Failed to delete \"" + name + "\". ",
                      [wide](TRegistryHive& hive, std::optional<TTextRange> key) {
                          return key && hive.DeleteValue(*key, wide);
                      });
    }

private:
    std::optional<TValueEntry> Find(const std::string& name) const
    {
        return key_ ? hive_->Hive().FindValue(*key_, Utf8ToUtf16(name)) : std::nullopt;
    }

    // Makes the change, in the group of changes under way or else on its
    // own; false when the edit finds nothing to change.
    bool Change(const std::string& failure, const TEdit& edit)
    {
        if (TChangeGroup* group = groupSlot_->Current)
            return Add(*group, failure, edit);
        TChangeGroup single(wineserverWait_);
        return Add(single, failure, edit) && single.Commit();
    }

    bool Add(TChangeGroup& group, const std::string& failure, const TEdit& edit)
    {
        // The key lets go of the group's working copy while the change is
        // made, so that the group may edit it in place.
        std::shared_ptr<const THiveSnapshot> seen = std::move(hive_);
        if (seen == group.Working(hiveFile_))
            seen.reset();
        const auto keep = [&] { hive_ = seen ? std::move(seen) : group.Working(hiveFile_); };
        std::shared_ptr<const THiveSnapshot> working;
        try {
            working = group.Add(hiveFile_, keyPath_, failure, edit);
        } catch (...) {
            keep();
            throw;
        }
        if (!working) {
            keep();
            return false;
        }
        hive_ = std::move(working);
        key_ = hive_->FindKey(keyPath_);
        return true;
    }

    fs::path hiveFile_;
    std::u16string keyPath_;
    std::shared_ptr<const THiveSnapshot> hive_;  // the file as the key last saw it
    std::optional<TTextRange> key_;  // empty while the key has no section of its own
    std::chrono::milliseconds wineserverWait_;
    std::shared_ptr<TChangeGroupSlot> groupSlot_;
};

}  // namespace

std::vector<std::string> RegistryFileErrors(const fs::path& prefix)
{
    std::vector<std::string> errors;
    for (const TRootKey root : {TRootKey::CurrentUser, TRootKey::LocalMachine}) {
        const fs::path file = HiveFile(prefix, root);
        std::error_code missing;
        if (!fs::exists(fs::symlink_status(file, missing)))
            continue;
        try {
            CurrentHive(file);
        } catch (const Error& error) {
            errors.emplace_back(error.what());
        }
    }
    return errors;
}

std::unique_ptr<TRegistryKey> TWineRegistry::OpenKey(TRootKey root, const std::string& path, TKeyAccess access) const
{
    const fs::path hiveFile = HiveFile(WinePrefix(), root);
    std::shared_ptr<const THiveSnapshot> hive = groupSlot_->Current ? groupSlot_->Current->Working(hiveFile) : nullptr;
    try {
        if (!hive)
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
    if ((!key && !hive->Hive().KeyExists(keyPath)) || (access == TKeyAccess::ReadWrite && !NativeFileWritable(hiveFile)))
        return nullptr;
    return std::make_unique<TWineRegistryKey>(hiveFile, std::move(keyPath), std::move(hive), key, wineserverWait_,
                                              groupSlot_);
}

void TWineRegistry::ChangeTogether(const std::function<void()>& changes) const
{
    if (groupSlot_->Current != nullptr) {
        changes();
        return;
    }
    TChangeGroup group(wineserverWait_);
    groupSlot_->Current = &group;
    const auto leave = [this] { groupSlot_->Current = nullptr; };
    try {
        changes();
    } catch (...) {
        leave();
        throw;
    }
    leave();
    group.Commit();
}

}  // namespace quorvex
