// Text rules of the HTTP client's wire format: request lines go out in the
// system's 8-bit code page (Windows-1252) and must hold no control character.
// Texts fetched over HTTP without a byte-order mark are read in the same code
// page. The client's texts are UTF-8; the bytes of a response header are read
// as Latin-1.
#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// True when the text holds a C0 or C1 control character or DEL: such a
// character in a request line could end the line early and smuggle headers in.
bool HasControlCharacter(std::string_view text);

// Windows-1252 bytes of the text; a character the code page lacks becomes "?",
// as the system's own conversion does.
std::string EncodeAnsi(std::string_view text);

// The text of Windows-1252 bytes; the five bytes the code page leaves
// undefined become the characters of the same code, as the system's own
// conversion makes them.
std::string DecodeAnsi(std::string_view bytes);

// The text of Latin-1 bytes.
std::string DecodeLatin1(std::string_view bytes);

// The text with the ASCII letters in lower case.
std::string AsciiLower(std::string_view text);
// The text without the ASCII blanks (space, tab, line ends) at either end.
std::string_view TrimAscii(std::string_view text);
// Whether text starts with prefix, ASCII letters compared without case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace quorvex
