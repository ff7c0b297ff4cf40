// Our reader of INI files with the rules of the Windows private-profile
// reader that the update information file was written for:
//  - a section starts at a line "[" name "]"; a line "[" without its "]"
//    neither starts nor ends one; keys are lines name "=" value;
//  - section and key names match without regard to letter case;
//  - blanks around names and values are removed, and a value enclosed in a
//    pair of double or of single quotation marks loses the marks;
//  - a missing file, section or key reads as empty text;
//  - a value ends at its first NUL, as the system's C string does;
//  - at most 2047 characters (UTF-16 units) of a value are returned.
// Only the first section of a name is read, and in it the first line of a
// key. The file is decoded by its byte-order mark, else as Windows-1252.
// Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class TPrivateProfile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    // The profile of a file's bytes, decoded by their byte-order mark.
    static TPrivateProfile FromBytes(std::string_view bytes);
    static TPrivateProfile FromText(std::string_view text);

    std::string ReadString(std::string_view section, std::string_view key) const;

private:
    std::vector<std::u16string> lines_;  // trimmed
};

}  // namespace quorvex
