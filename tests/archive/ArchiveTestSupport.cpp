#include "ArchiveTestSupport.h"

#include <algorithm>
#include <iterator>

namespace quorvex::test {

Bytes U32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes Property(std::string_view name, std::uint8_t type, const Bytes& payload)
{
    Bytes bytes;
    bytes.reserve(name.size() + payload.size() + 2);
    bytes.push_back(static_cast<std::uint8_t>(name.size()));
    std::copy(name.begin(), name.end(), std::back_inserter(bytes));
    bytes.push_back(type);
    std::copy(payload.begin(), payload.end(), std::back_inserter(bytes));
    return bytes;
}

namespace {

Bytes Sized(const Bytes& content)
{
    Bytes bytes = U32(static_cast<std::uint32_t>(content.size()));
    bytes.insert(bytes.end(), content.begin(), content.end());
    return bytes;
}

void Append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

}  // namespace

Bytes Encode(const Record& record)
{
    Bytes identifier = ToBytes(record.compression);
    identifier.insert(identifier.begin(), static_cast<std::uint8_t>(record.compression.size()));
    Bytes bytes = Property("Compression", 1, identifier);
    Append(bytes, Property("Tag", 2, U32(0)));
    Append(bytes, Property("Name", 3, Sized(ToBytes(record.name))));
    Append(bytes, Property("FileName", 3, Sized(ToBytes(record.fileName))));
    Append(bytes, Property("FileSize", 2, U32(static_cast<std::uint32_t>(record.fileSize))));
    if (!record.block.empty())
        Append(bytes, Property("StoredItem", 4, Sized(record.block)));
    bytes.push_back(0);
    return bytes;
}

Bytes FormOf(const std::vector<Bytes>& records)
{
    Bytes form = ToBytes("QVXS");
    Append(form, U32(static_cast<std::uint32_t>(records.size())));
    for (const Bytes& record : records)
        Append(form, record);
    return form;
}

Bytes DataBlock(const TmxStorage& storage, int index)
{
    const Bytes form = StoredForm(storage);
    const Bytes key = Property("StoredItem", 4, {});
    auto at = form.begin();
    for (int i = 0; i <= index; ++i) {
        at = std::search(at, form.end(), key.begin(), key.end());
        if (at == form.end())
            return {};
        at += static_cast<std::ptrdiff_t>(key.size());
    }
    const std::uint32_t length = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
                                 | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
    return {at + 4, at + 4 + length};
}

}  // namespace quorvex::test
