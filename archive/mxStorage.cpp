#include "archive/mxStorage.h"

#include "archive/ZlibCodec.h"
#include "platform/Error.h"
#include "platform/Platform.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

namespace quorvex {
namespace {

// The component's version: major in the high byte, minor in the low byte.
constexpr std::uint16_t kVersion = 0x0115;
constexpr std::string_view kDefaultNamePrefix = "mxStoredItem";

bool SameText(std::string_view a, std::string_view b)
{
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y)); });
}

// "%f" with two decimals (the decimal separator follows the C locale in force)
// and a per cent sign; "100%" when there is nothing to compare with.
std::string FormatRatio(std::int64_t size, std::int64_t original)
{
    if (original == 0)
        return "100%";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f%%", static_cast<double>(size) / static_cast<double>(original) * 100.0);
    return text;
}

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, INT32_MAX));
}

int ZlibLevel(TCompressionLevel level)
{
    switch (level) {
    case TCompressionLevel::clFastest: return 1;
    case TCompressionLevel::clMax: return 9;
    default: return -1;  // zlib's default (level 6)
    }
}

bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::string JoinPath(const std::string& folder, const std::string& fileName)
{
    if (folder.empty() || folder.back() == '/')
        return folder + fileName;
    return folder + '/' + fileName;
}

}  // namespace

// ---- TmxStoredItem ---------------------------------------------------------

TmxStoredItem::TmxStoredItem(TmxStoredItems& collection) : collection_(&collection) {}

TmxStoredItem::~TmxStoredItem()
{
    if (OnDestroy)
        OnDestroy(*this);
}

int TmxStoredItem::Index() const
{
    return collection_->IndexOf(*this);
}

bool TmxStoredItem::Reading() const
{
    return collection_->Owner().Reading();
}

void TmxStoredItem::SetCompression(TCompressionLevel value)
{
    if (Reading()) {
        compression_ = value;
        return;
    }
    if (value == compression_)
        return;
    TMemoryStream file;
    SaveToStream(&file);
    compression_ = value;
    LoadFromStream(&file);
}

void TmxStoredItem::SetName(const std::string& value)
{
    if (SameText(value, name_))
        return;
    if (collection_->NameTaken(value, this))
        throw Error("Duplicated stored item name");
    name_ = value;
    if (collection_->OnChange)
        collection_->OnChange(*this);
}

void TmxStoredItem::SetFileName(const std::string& value)
{
    if (Reading())
        fileName_ = value;
}

void TmxStoredItem::SetFileSize(std::int32_t value)
{
    if (Reading())
        fileSize_ = value;
}

std::int32_t TmxStoredItem::Size() const
{
    return ClampToInt32(static_cast<std::int64_t>(data_.Size()));
}

std::string TmxStoredItem::Ratio() const
{
    return FormatRatio(Size(), fileSize_);
}

TMemoryStream& TmxStoredItem::GetAsStream()
{
    SetCompression(TCompressionLevel::clNone);
    data_.Seek(0);
    return data_;
}

void TmxStoredItem::SaveToStream(TStream* target)
{
    if (target == nullptr)
        return;
    data_.Seek(0);
    if (OnBeforeSave)
        OnBeforeSave(*this, *target);
    if (compression_ != TCompressionLevel::clNone && data_.Size() > 0)
        InflateFramedFile(data_.Bytes(), *target);
    else
        target->Write(data_.Bytes());
    if (OnAfterSave)
        OnAfterSave(*this);
}

void TmxStoredItem::SaveToFile(const std::string& path)
{
    // Inflated whole first, so that a block that does not inflate leaves the
    // file untouched; the platform then replaces it in one step.
    TMemoryStream file;
    SaveToStream(&file);
    FileSystem().WriteFile(path, file.Bytes());
}

void TmxStoredItem::LoadFromStream(TStream* source)
{
    if (source == nullptr || source->Size() == 0) {
        data_.Clear();
        fileSize_ = 0;
        return;
    }
    if (source->Size() > static_cast<std::size_t>(INT32_MAX))
        throw Error("Cannot store a file of more than 2 GB");
    const auto length = static_cast<std::int32_t>(source->Size());
    source->Seek(0);
    if (OnBeforeLoad)
        OnBeforeLoad(*this, *source);
    if (compression_ != TCompressionLevel::clNone) {
        data_.Assign(DeflateFramedFile(*source, length, ZlibLevel(compression_)));
    } else {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        if (source->Read(bytes) != bytes.size())
            throw Error("Cannot store the file: its source ended early");
        data_.Assign(std::move(bytes));
    }
    fileSize_ = length;
    if (OnAfterLoad)
        OnAfterLoad(*this);
}

void TmxStoredItem::LoadFromFile(const std::string& path)
{
    const auto separator = path.find_last_of("/\\");
    LoadFromBytes(FileSystem().ReadFile(path), separator == std::string::npos ? path : path.substr(separator + 1));
}

void TmxStoredItem::LoadFromBytes(std::vector<std::uint8_t> bytes, const std::string& fileName)
{
    TMemoryStream content;
    content.Assign(std::move(bytes));
    LoadFromStream(&content);
    fileName_ = fileName;
}

// ---- TmxStoredItems --------------------------------------------------------

TmxStoredItem& TmxStoredItems::operator[](int index) const
{
    if (index < 0 || index >= Count())
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

int TmxStoredItems::IndexOf(const TmxStoredItem& item) const
{
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == &item; });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

bool TmxStoredItems::NameTaken(std::string_view name, const TmxStoredItem* except) const
{
    return std::any_of(items_.begin(), items_.end(),
                       [&](const auto& item) { return item.get() != except && SameText(item->name_, name); });
}

TmxStoredItem& TmxStoredItems::Add()
{
    items_.push_back(std::unique_ptr<TmxStoredItem>(new TmxStoredItem(*this)));
    TmxStoredItem& item = *items_.back();
    std::string name;
    for (int number = 1;; ++number) {
        name = std::string(kDefaultNamePrefix) + std::to_string(number);
        if (!NameTaken(name, &item))
            break;
    }
    item.name_ = name;
    return item;
}

void TmxStoredItems::Delete(int index)
{
    (void)(*this)[index];  // the index error for a bad index
    auto item = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    item.reset();  // destroyed after it has left the collection
}

void TmxStoredItems::Clear()
{
    while (!items_.empty())
        Delete(Count() - 1);
}

void TmxStoredItems::Adopt(TmxStoredItems& from)
{
    for (auto& item : from.items_) {
        item->collection_ = this;
        items_.push_back(std::move(item));
    }
    from.items_.clear();
}

// ---- TmxStorage ------------------------------------------------------------

std::string TmxStorage::Version() const
{
    return std::to_string(kVersion >> 8) + "." + std::to_string(kVersion & 0xFF);
}

std::int32_t TmxStorage::Size() const
{
    std::int64_t total = 0;
    for (int i = 0; i < items_.Count(); ++i)
        total += items_[i].Size();
    return ClampToInt32(total);
}

std::int32_t TmxStorage::OriginalSize() const
{
    std::int64_t total = 0;
    for (int i = 0; i < items_.Count(); ++i)
        total += items_[i].FileSize();
    return ClampToInt32(total);
}

std::string TmxStorage::Ratio() const
{
    return FormatRatio(Size(), OriginalSize());
}

TmxStoredItem* TmxStorage::ItemByName(std::string_view name) const
{
    for (int i = 0; i < items_.Count(); ++i)
        if (SameText(items_[i].Name(), name))
            return &items_[i];
    return nullptr;
}

TmxStoredItem* TmxStorage::ItemByFileName(std::string_view fileName) const
{
    for (int i = 0; i < items_.Count(); ++i)
        if (SameText(items_[i].FileName(), fileName))
            return &items_[i];
    return nullptr;
}

bool TmxStorage::ExtractTo(const std::string& folder)
{
    bool allWritten = true;
    for (int i = 0; i < items_.Count(); ++i) {
        TmxStoredItem& item = items_[i];
        std::string path = folder;
        std::string fileName = item.FileName();
        bool mayExtract = true;
        if (OnBeforeExtract)
            OnBeforeExtract(item, path, fileName, mayExtract);
        if (!mayExtract)
            continue;
        try {
            if (!IsPlainFileName(fileName))
                throw Error("Not a plain file name: \"" + fileName + "\"");
            item.SaveToFile(JoinPath(path, fileName));
            if (OnAfterExtract)
                OnAfterExtract(item, path, fileName);
        } catch (const Error&) {
            allWritten = false;
            if (OnExtractError)
                OnExtractError(item, path, fileName);
        }
    }
    return allWritten;
}

}  // namespace quorvex
