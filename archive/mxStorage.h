// The stored item archive: files carried inside the program, each held as a
// data block (verbatim or one zlib stream of the framed file), handed out as a
// stream or written to disk.
#pragma once

#include "platform/Stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

enum class TCompressionLevel : std::uint8_t { clNone, clFastest, clDefault, clMax };

class TmxStorage;
class TmxStoredItems;

class TmxStoredItem {
public:
    using StreamEvent = std::function<void(TmxStoredItem& item, TStream& stream)>;
    using ItemEvent = std::function<void(TmxStoredItem& item)>;

    // Hooks for the owner; none is needed by the program itself. Hooks must not
    // throw: OnDestroy runs inside a destructor.
    StreamEvent OnBeforeLoad;  // LoadFromStream, with the source, before encoding
    ItemEvent OnAfterLoad;     // LoadFromStream, at its end
    StreamEvent OnBeforeSave;  // SaveToStream, with the target, before writing
    ItemEvent OnAfterSave;     // SaveToStream, at its end
    ItemEvent OnDestroy;       // while destroyed, after leaving its collection

    TmxStoredItem(const TmxStoredItem&) = delete;
    TmxStoredItem& operator=(const TmxStoredItem&) = delete;
    ~TmxStoredItem();

    TmxStoredItems& Collection() const { return *collection_; }
    int Index() const;

    TCompressionLevel Compression() const { return compression_; }
    // Re-encodes the data block in the new form (while the archive is read from
    // its stored form, only records the value: the block arrives in that form).
    void SetCompression(TCompressionLevel value);

    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t value) { tag_ = value; }

    const std::string& Name() const { return name_; }
    // A change of case alone is not applied; another item's name (compared
    // without regard to case) throws "Duplicated stored item name".
    void SetName(const std::string& value);

    // FileName and FileSize take a value only while the archive is read from
    // its stored form; other assignments are ignored.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& value);
    std::int32_t FileSize() const { return fileSize_; }
    void SetFileSize(std::int32_t value);

    // The data block's current length.
    std::int32_t Size() const;
    // Size against FileSize, "66.49%"; "100%" when FileSize is 0.
    std::string Ratio() const;

    // Turns the item verbatim (inflating it once) and lends its data block at
    // position 0: the same stream for the item's whole life, owned by the item.
    TMemoryStream& GetAsStream();
    // Writes the file's bytes at the target's position; the form is unchanged.
    // A null target does nothing. Throws Error when the block does not inflate.
    void SaveToStream(TStream* target);
    // Creates or replaces the file atomically; throws
    // "Cannot create file \"<path>\". <reason>" and leaves the disk unchanged.
    void SaveToFile(const std::string& path);
    // Replaces the content with the whole source, in the current compression,
    // and sets FileSize to the source's length. A null or empty source empties
    // the item (FileSize 0) without calling a hook.
    void LoadFromStream(TStream* source);
    // LoadFromStream from a file; also takes the file's name (without folder)
    // as FileName. Throws "Cannot open file \"<path>\". <reason>".
    void LoadFromFile(const std::string& path);
    // LoadFromFile for a file already read, or made, in memory: the bytes and
    // the name (without folder) that FileName takes.
    void LoadFromBytes(std::vector<std::uint8_t> bytes, const std::string& fileName);

private:
    friend class TmxStoredItems;
    friend class TmxStorage;

    explicit TmxStoredItem(TmxStoredItems& collection);
    bool Reading() const;

    TmxStoredItems* collection_;
    TCompressionLevel compression_ = TCompressionLevel::clDefault;
    std::int32_t tag_ = 0;
    std::string name_;
    std::string fileName_;
    std::int32_t fileSize_ = 0;
    TMemoryStream data_;
};

class TmxStoredItems {
public:
    explicit TmxStoredItems(TmxStorage& owner) : owner_(&owner) {}
    TmxStoredItems(const TmxStoredItems&) = delete;
    TmxStoredItems& operator=(const TmxStoredItems&) = delete;
    ~TmxStoredItems() { Clear(); }

    TmxStorage& Owner() const { return *owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Throws "List index out of bounds (<index>)" outside 0 to Count - 1.
    TmxStoredItem& operator[](int index) const;
    int IndexOf(const TmxStoredItem& item) const;

    // Appends an item named "mxStoredItem" and the smallest free number.
    TmxStoredItem& Add();
    void Delete(int index);
    void Clear();

    // Told when an item changed (renamed).
    std::function<void(TmxStoredItem& item)> OnChange;

private:
    friend class TmxStoredItem;
    friend class TmxStorage;

    bool NameTaken(std::string_view name, const TmxStoredItem* except) const;
    // Moves every item of `from` to the end of this collection.
    void Adopt(TmxStoredItems& from);

    TmxStorage* owner_;
    std::vector<std::unique_ptr<TmxStoredItem>> items_;
};

class TmxStorage {
public:
    using BeforeExtractEvent =
        std::function<void(TmxStoredItem& item, std::string& path, std::string& fileName, bool& mayExtract)>;
    using ExtractEvent =
        std::function<void(TmxStoredItem& item, const std::string& path, const std::string& fileName)>;

    TmxStorage() = default;
    TmxStorage(const TmxStorage&) = delete;
    TmxStorage& operator=(const TmxStorage&) = delete;

    TmxStoredItems& StoredItems() { return items_; }
    const TmxStoredItems& StoredItems() const { return items_; }

    // The component's version, "1.21".
    std::string Version() const;
    // Sum of the items' Size and of their FileSize, and the ratio of the two.
    std::int32_t Size() const;
    std::int32_t OriginalSize() const;
    std::string Ratio() const;

    // Throws the collection's index error.
    TmxStoredItem& ItemByIndex(int index) const { return items_[index]; }
    // The item with this name / file name, compared without regard to case;
    // nullptr when there is none.
    TmxStoredItem* ItemByName(std::string_view name) const;
    TmxStoredItem* ItemByFileName(std::string_view fileName) const;

    // Writes every item as <folder>/<FileName>. Each item may be renamed or
    // skipped by OnBeforeExtract; a failure (including a FileName that is not a
    // plain file name) goes to OnExtractError and the others are still tried.
    // True when every item that was to be extracted was written.
    bool ExtractTo(const std::string& folder);
    BeforeExtractEvent OnBeforeExtract;
    ExtractEvent OnAfterExtract;
    ExtractEvent OnExtractError;

    // Replaces every item with those of the stored form, taking each data block
    // as it is (no re-encoding). A truncated or malformed form throws Error and
    // leaves the items as they were.
    void LoadFromStoredForm(std::span<const std::uint8_t> form);
    // Writes every item in the stored form.
    void SaveToStoredForm(TStream& target) const;

    // True while the items are read from a stored form.
    bool Reading() const { return reading_; }

private:
    TmxStoredItems items_{*this};
    bool reading_ = false;
};

}  // namespace quorvex
