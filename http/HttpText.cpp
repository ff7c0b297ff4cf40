#include "http/HttpText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvex {
namespace {

// The characters that Windows-1252 places at 0x80..0x9F instead of the C1
// controls of ISO 8859-1.
constexpr std::array<std::pair<char16_t, char>, 27> kAnsiHighBlock{{
    {u'\u20AC', '\x80'}, {u'\u201A', '\x82'}, {u'\u0192', '\x83'}, {u'\u201E', '\x84'},
    {u'\u2026', '\x85'}, {u'\u2020', '\x86'}, {u'\u2021', '\x87'}, {u'\u02C6', '\x88'},
    {u'\u2030', '\x89'}, {u'\u0160', '\x8A'}, {u'\u2039', '\x8B'}, {u'\u0152', '\x8C'},
    {u'\u017D', '\x8E'}, {u'\u2018', '\x91'}, {u'\u2019', '\x92'}, {u'\u201C', '\x93'},
    {u'\u201D', '\x94'}, {u'\u2022', '\x95'}, {u'\u2013', '\x96'}, {u'\u2014', '\x97'},
    {u'\u02DC', '\x98'}, {u'\u2122', '\x99'}, {u'\u0161', '\x9A'}, {u'\u203A', '\x9B'},
    {u'\u0153', '\x9C'}, {u'\u017E', '\x9E'}, {u'\u0178', '\x9F'},
}};

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

char AnsiByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto* entry = std::find_if(kAnsiHighBlock.begin(), kAnsiHighBlock.end(),
                                     [c](const auto& e) { return e.first == c; });
    return entry == kAnsiHighBlock.end() ? '?' : entry->second;
}

char16_t AnsiCharacter(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const auto* entry = std::find_if(kAnsiHighBlock.begin(), kAnsiHighBlock.end(),
                                     [byte](const auto& e) { return static_cast<unsigned char>(e.second) == byte; });
    return entry == kAnsiHighBlock.end() ? byte : entry->first;
}

}  // namespace

bool HasControlCharacter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return IsControl(c.unicode()); });
}

QByteArray EncodeAnsi(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes.append(AnsiByte(c.unicode()));
    return bytes;
}

QString DecodeAnsi(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.append(QChar(AnsiCharacter(static_cast<unsigned char>(byte))));
    return text;
}

}  // namespace quorvex
