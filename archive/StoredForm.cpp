// The stored form of the archive, as the program carries it:
//
//   form     := "QVXS" count:u32 record{count}
//   record   := property* 0x00
//   property := nameLength:u8 (1..255) name value
//   value    := 0x01 length:u8 identifier        an enumeration name
//             | 0x02 i32                          an integer
//             | 0x03 length:u32 bytes             a string
//             | 0x04 length:u32 bytes             the data block ("StoredItem")
//
// Numbers are little-endian. An item's properties are Compression, Tag, Name,
// FileName, FileSize, then Size and Ratio (for information only: ignored when
// read), then StoredItem, present only when the data block is not empty.
#include "archive/mxStorage.h"

#include "platform/Error.h"

#include <array>
#include <string>

namespace quorvex {
namespace {

constexpr std::string_view kSignature = "QVXS";

enum ValueType : std::uint8_t { kIdentifier = 1, kInteger = 2, kString = 3, kBinary = 4 };

constexpr std::array<std::string_view, 4> kCompressionNames = {"clNone", "clFastest", "clDefault", "clMax"};

[[noreturn]] void Malformed(const std::string& detail)
{
    throw Error("Invalid stored item archive: " + detail);
}

// Reads the form front to back; every read is checked against the end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return offset_ == bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - offset_; }

    std::span<const std::uint8_t> Take(std::size_t count)
    {
        if (count > Left())
            Malformed("it is truncated (" + std::to_string(count) + " bytes needed at byte "
                      + std::to_string(offset_) + ", " + std::to_string(Left()) + " left)");
        const auto piece = bytes_.subspan(offset_, count);
        offset_ += count;
        return piece;
    }
    std::uint8_t Byte() { return Take(1)[0]; }
    std::uint32_t U32()
    {
        const auto b = Take(4);
        return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8
               | static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }
    std::string Text(std::size_t length)
    {
        const auto b = Take(length);
        return {b.begin(), b.end()};
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

class Writer {
public:
    explicit Writer(TStream& target) : target_(target) {}

    void Byte(std::uint8_t value) { target_.Write(std::span(&value, 1)); }
    void U32(std::uint32_t value)
    {
        const std::array<std::uint8_t, 4> b = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                               static_cast<std::uint8_t>(value >> 16),
                                               static_cast<std::uint8_t>(value >> 24)};
        target_.Write(b);
    }
    void Bytes(std::span<const std::uint8_t> bytes) { target_.Write(bytes); }
    void Text(std::string_view text) { Bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}); }

    void PropertyName(std::string_view name)
    {
        Byte(static_cast<std::uint8_t>(name.size()));
        Text(name);
    }
    void Identifier(std::string_view name, std::string_view value)
    {
        PropertyName(name);
        Byte(kIdentifier);
        Byte(static_cast<std::uint8_t>(value.size()));
        Text(value);
    }
    void Integer(std::string_view name, std::int32_t value)
    {
        PropertyName(name);
        Byte(kInteger);
        U32(static_cast<std::uint32_t>(value));
    }
    void String(std::string_view name, std::string_view value)
    {
        PropertyName(name);
        Byte(kString);
        U32(static_cast<std::uint32_t>(value.size()));
        Text(value);
    }
    void Binary(std::string_view name, std::span<const std::uint8_t> value)
    {
        PropertyName(name);
        Byte(kBinary);
        U32(static_cast<std::uint32_t>(value.size()));
        Bytes(value);
    }

private:
    TStream& target_;
};

// One property value as read, checked against the type its name requires.
struct Value {
    std::uint8_t type;
    std::string text;                       // identifier or string
    std::int32_t integer = 0;
    std::span<const std::uint8_t> binary;   // the data block
};

Value ReadValue(Reader& reader)
{
    Value value{reader.Byte(), {}, 0, {}};
    switch (value.type) {
    case kIdentifier: value.text = reader.Text(reader.Byte()); break;
    case kInteger: value.integer = static_cast<std::int32_t>(reader.U32()); break;
    case kString: value.text = reader.Text(reader.U32()); break;
    case kBinary: value.binary = reader.Take(reader.U32()); break;
    default: Malformed("unknown value type " + std::to_string(value.type));
    }
    return value;
}

const Value& Expect(const Value& value, ValueType type, const std::string& property)
{
    if (value.type != type)
        Malformed("property \"" + property + "\" has the wrong type");
    return value;
}

TCompressionLevel CompressionNamed(const std::string& name)
{
    for (std::size_t i = 0; i < kCompressionNames.size(); ++i)
        if (kCompressionNames[i] == name)
            return static_cast<TCompressionLevel>(i);
    Malformed("unknown compression \"" + name + "\"");
}

void ReadProperty(Reader& reader, const std::string& property, TmxStoredItem& item, TMemoryStream& block)
{
    const Value value = ReadValue(reader);
    if (property == "Compression") {
        item.SetCompression(CompressionNamed(Expect(value, kIdentifier, property).text));
    } else if (property == "Tag") {
        item.SetTag(Expect(value, kInteger, property).integer);
    } else if (property == "Name") {
        const std::string& name = Expect(value, kString, property).text;
        try {
            item.SetName(name);
        } catch (const Error&) {
            Malformed("duplicated stored item name \"" + name + "\"");
        }
    } else if (property == "FileName") {
        item.SetFileName(Expect(value, kString, property).text);
    } else if (property == "FileSize") {
        const std::int32_t size = Expect(value, kInteger, property).integer;
        if (size < 0)
            Malformed("negative FileSize " + std::to_string(size));
        item.SetFileSize(size);
    } else if (property == "Size") {
        Expect(value, kInteger, property);
    } else if (property == "Ratio") {
        Expect(value, kString, property);
    } else if (property == "StoredItem") {
        const auto bytes = Expect(value, kBinary, property).binary;
        block.Assign({bytes.begin(), bytes.end()});
    } else {
        Malformed("unknown property \"" + property + "\"");
    }
}

}  // namespace

void TmxStorage::LoadFromStoredForm(std::span<const std::uint8_t> form)
{
    Reader reader(form);
    if (reader.Text(kSignature.size()) != kSignature)
        Malformed("it does not start with \"QVXS\"");
    const std::uint32_t count = reader.U32();
    if (count > reader.Left())  // every record takes at least its end byte
        Malformed("it claims " + std::to_string(count) + " items in " + std::to_string(reader.Left()) + " bytes");

    // Read into a storage of its own, so a bad form leaves this one untouched.
    TmxStorage read;
    read.reading_ = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        TmxStoredItem& item = read.items_.Add();
        while (const std::uint8_t nameLength = reader.Byte())
            ReadProperty(reader, reader.Text(nameLength), item, item.data_);
    }
    if (!reader.AtEnd())
        Malformed(std::to_string(reader.Left()) + " bytes follow the last item");
    read.reading_ = false;

    items_.Clear();
    items_.Adopt(read.items_);
}

void TmxStorage::SaveToStoredForm(TStream& target) const
{
    Writer writer(target);
    writer.Text(kSignature);
    writer.U32(static_cast<std::uint32_t>(items_.Count()));
    for (int i = 0; i < items_.Count(); ++i) {
        const TmxStoredItem& item = items_[i];
        writer.Identifier("Compression", kCompressionNames[static_cast<std::size_t>(item.Compression())]);
        writer.Integer("Tag", item.Tag());
        writer.String("Name", item.Name());
        writer.String("FileName", item.FileName());
        writer.Integer("FileSize", item.FileSize());
        writer.Integer("Size", item.Size());
        writer.String("Ratio", item.Ratio());
        if (item.data_.Size() > 0)
            writer.Binary("StoredItem", item.data_.Bytes());
        writer.Byte(0);
    }
}

}  // namespace quorvex
