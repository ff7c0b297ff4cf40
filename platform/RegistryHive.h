// The text of one Wine registry file (user.reg, system.reg), searched and
// edited in place: a change replaces or removes only the lines of the value it
// touches, so every other byte of the file stays as it was. Lines that are
// not understood are kept and skipped.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Registry value types, numbered as Windows numbers them.
enum TRegType : std::uint32_t {
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

// A value's data as Windows stores it: strings in UTF-16LE with their NUL.
struct TRegData {
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Bytes;
};

// A range [Begin, End) of byte offsets into the file's text.
struct TTextRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
};

struct TValueEntry {
    TTextRange Lines;               // the value's lines, line ends included
    std::size_t Equals = 0;         // offset of the "=" after the name
    std::optional<TRegData> Data;   // empty when the data cannot be read
};

class TRegistryHive {
public:
    explicit TRegistryHive(std::string text) : text_(std::move(text)) {}

    // The file starts with Wine's "WINE REGISTRY Version 2" signature.
    bool IsValid() const;
    // The file belongs to a 64-bit prefix ("#arch=win64" before the first key).
    bool Is64Bit() const;

    // The lines below the header of the key at path (components separated by
    // single backslashes, compared without regard to case); empty when the
    // key has no section of its own.
    std::optional<TTextRange> FindKey(std::u16string_view path) const;
    // Whether the key exists: it has a section of its own or a section lies
    // below it (Wine writes no section for a key with subkeys but no values).
    bool KeyExists(std::u16string_view path) const;
    // The key's lines, ready for a value to be written: an existing key
    // without a section of its own gets one first, written as Wine writes it
    // at the time now and where Wine puts it (just before the keys below it).
    // Empty when the key does not exist.
    std::optional<TTextRange> WritableKey(std::u16string_view path, std::chrono::system_clock::time_point now);
    // The named value of the key ("" is the key's default value "@").
    std::optional<TValueEntry> FindValue(TTextRange key, std::u16string_view name) const;

    // Writes a DWORD value, replacing the value's data (its name stays as
    // stored) or adding a line at the end of the key.
    void SetDword(TTextRange key, std::u16string_view name, std::uint32_t value);
    // Removes the value's lines; false when the value does not exist.
    bool DeleteValue(TTextRange key, std::u16string_view name);

    const std::string& Text() const { return text_; }

private:
    // The offset of the first header naming the key (below false) or a key
    // below it (below true).
    std::optional<std::size_t> FindSection(std::u16string_view path, bool below) const;
    std::size_t EndOfValues(TTextRange key) const;

    std::string text_;
};

// A string in Wine's escaped form, as written for a value name or string
// data between double quotes (the quotes not included).
std::string EscapeRegistryString(std::u16string_view name);

}  // namespace quorvex
