// Small helpers shared by the archive tests.
#pragma once

#include "archive/mxStorage.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorvex::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

inline Bytes Content(const TMemoryStream& stream)
{
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

// Bytes that compress but not to nothing: a repeating text with a counter.
inline Bytes SampleFile(std::size_t size)
{
    Bytes bytes;
    bytes.reserve(size);
    for (std::size_t i = 0; bytes.size() < size; ++i)
        for (char c : "line " + std::to_string(i) + " of the sample file\r\n")
            if (bytes.size() < size)
                bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

// The file bytes an item writes out.
inline Bytes Saved(TmxStoredItem& item)
{
    TMemoryStream out;
    item.SaveToStream(&out);
    return Content(out);
}

// Adds an item holding `file` at `level`.
inline TmxStoredItem& AddItem(TmxStorage& storage, const Bytes& file, TCompressionLevel level)
{
    TmxStoredItem& item = storage.StoredItems().Add();
    item.SetCompression(level);
    TMemoryStream source;
    source.Assign(file);
    item.LoadFromStream(&source);
    return item;
}

inline Bytes StoredForm(const TmxStorage& storage)
{
    TMemoryStream form;
    storage.SaveToStoredForm(form);
    return Content(form);
}

// The data block of the item at `index`, as the stored form carries it.
Bytes DataBlock(const TmxStorage& storage, int index);

// Stored forms written by hand after the documented layout, independently of
// the archive's own writer.
struct Record {
    std::string compression = "clMax";
    std::string name;
    std::string fileName;
    std::int32_t fileSize = 0;
    Bytes block;  // written as StoredItem when not empty
};
Bytes Property(std::string_view name, std::uint8_t type, const Bytes& payload);
Bytes U32(std::uint32_t value);
Bytes FormOf(const std::vector<Bytes>& records);  // records already encoded
Bytes Encode(const Record& record);               // properties and end byte

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-archive-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline Bytes ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quorvex::test
