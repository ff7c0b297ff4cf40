// The text of one Wine registry file (user.reg, system.reg), searched where
// it lies (TRegistryText) and edited in place (TRegistryHive): a change
// replaces or removes only the lines of the value it touches, so every other
// byte of the file stays as it was. Lines that are not understood are kept
// and skipped.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// Where a section for a key that has none goes, and its opening lines.
struct TNewSection {
    std::size_t At = 0;
    std::string Lines;
};

// The searches of a registry file's text, which it reads in place: the text
// must outlive it and stay unchanged while it is used.
class TRegistryText {
public:
    explicit TRegistryText(std::string_view text) : text_(text) {}

    // The file starts with Wine's "WINE REGISTRY Version 2" signature.
    bool IsValid() const;
    // The file belongs to a 64-bit prefix ("#arch=win64" before the first key).
    bool Is64Bit() const;

    // The lines below the header of the key at path (components separated by
    // single backslashes, compared with the header's escapes decoded as Wine
    // compares names, SameRegistryName); empty when the key has no section of
    // its own.
    std::optional<TTextRange> FindKey(std::u16string_view path) const;
    // Whether the key exists: it has a section of its own or a section lies
    // below it (Wine writes no section for a key with subkeys but no values).
    bool KeyExists(std::u16string_view path) const;
    // The named value of the key ("" is the key's default value "@"), its
    // name compared as a key's.
    std::optional<TValueEntry> FindValue(TTextRange key, std::u16string_view name) const;
    // For a key without a section of its own (FindKey finds none): the
    // section as Wine writes it at the time now, and where (just before the
    // keys below it). Empty when no key lies below it either.
    std::optional<TNewSection> NewSection(std::u16string_view path, std::chrono::system_clock::time_point now) const;
    // The end of the key's last line that is not blank: where a value is added.
    std::size_t EndOfValues(TTextRange key) const;

    std::string_view Text() const { return text_; }

private:
    // The offset of the first header naming the key (below false) or a key
    // below it (below true).
    std::optional<std::size_t> FindSection(std::u16string_view path, bool below) const;

    std::string_view text_;
};

// FindKey's answers for one text, by the path asked for.
using TKnownKeys = std::map<std::u16string, std::optional<TTextRange>, std::less<>>;

// A registry file's text of its own, searched and edited.
class TRegistryHive {
public:
    // known: FindKey's answers already had for this text.
    explicit TRegistryHive(std::string text, TKnownKeys known = {})
        : text_(std::move(text)), known_(std::move(known))
    {
    }

    // The searches of the text as it is now; an edit ends them.
    TRegistryText Searches() const { return TRegistryText(text_); }
    bool IsValid() const { return Searches().IsValid(); }
    bool Is64Bit() const { return Searches().Is64Bit(); }
    std::optional<TTextRange> FindKey(std::u16string_view path) const { return Searches().FindKey(path); }
    bool KeyExists(std::u16string_view path) const { return Searches().KeyExists(path); }
    std::optional<TValueEntry> FindValue(TTextRange key, std::u16string_view name) const
    {
        return Searches().FindValue(key, name);
    }

    // FindKey, searched once per path: the answers are kept, and moved along
    // as values are written and removed.
    std::optional<TTextRange> FindKnownKey(std::u16string_view path);
    // The known keys given away (to a snapshot of this text) and taken back.
    TKnownKeys TakeKnownKeys() { return std::exchange(known_, {}); }
    void SetKnownKeys(TKnownKeys known) { known_ = std::move(known); }

    // The key's lines, ready for a value to be written: an existing key
    // without a section of its own gets one first (TRegistryText::NewSection).
    // Empty when the key does not exist.
    std::optional<TTextRange> WritableKey(std::u16string_view path, std::chrono::system_clock::time_point now);

    // Writes a DWORD value, replacing the value's data (its name stays as
    // stored) or adding a line at the end of the key.
    void SetDword(TTextRange key, std::u16string_view name, std::uint32_t value);
    // Removes the value's lines; false when the value does not exist.
    bool DeleteValue(TTextRange key, std::u16string_view name);

    const std::string& Text() const { return text_; }

private:
    // Gives the header that ends the text at at, without a line end, its line
    // end; its key's lines start after it.
    void EndLastHeader(std::size_t at);
    // Replaces count bytes at offset at, all within the value lines of one
    // key, by bytes; the known keys move along.
    void EditValues(std::size_t at, std::size_t count, std::string_view bytes);

    std::string text_;
    TKnownKeys known_;
};

// A string in Wine's escaped form, as written for a value name or string
// data between double quotes (the quotes not included).
std::string EscapeRegistryString(std::u16string_view name);

}  // namespace quorvex
