#include "platform/wine/RegistryHive.h"

#include "platform/wine/CaseFolding.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ratio>

namespace quorvex {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c)
{
    return c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads a string written with Wine's escapes, one UTF-16 code unit at a time,
// up to an unescaped delimiter.
class TEscapedReader {
public:
    TEscapedReader(std::string_view text, std::size_t position, char delimiter)
        : text_(text), position_(position), delimiter_(delimiter)
    {
    }

    // The next code unit; false at the delimiter or at the end of the text.
    bool Next(char16_t& unit)
    {
        if (pending_ != 0) {
            unit = pending_;
            pending_ = 0;
            return true;
        }
        if (position_ >= text_.size())
            return false;
        const char c = text_[position_];
        if (c == delimiter_) {
            ++position_;
            terminated_ = true;
            return false;
        }
        if (c == '\\' && position_ + 1 < text_.size() && static_cast<unsigned char>(text_[position_ + 1]) < 0x80) {
            position_ += 2;
            unit = Escape(text_[position_ - 1]);
            return true;
        }
        if (c == '\\')
            ++position_;  // a backslash before a non-ASCII character (or at the end) escapes nothing
        return NextCharacter(unit);
    }

    bool Terminated() const { return terminated_; }
    std::size_t Position() const { return position_; }

private:
    bool NextCharacter(char16_t& unit)
    {
        if (position_ >= text_.size())
            return false;
        char32_t cp = 0;
        position_ += DecodeCharacter(text_, position_, cp);
        if (cp < 0x10000) {
            unit = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            unit = static_cast<char16_t>(0xD800 + (cp >> 10));
            pending_ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
        return true;
    }

    char16_t Escape(char e)
    {
        switch (e) {
        case 'a': return 7;
        case 'b': return 8;
        case 't': return 9;
        case 'n': return 10;
        case 'v': return 11;
        case 'f': return 12;
        case 'r': return 13;
        case 'e': return 27;
        case 'x': return Number(16, 4, 0);
        default: break;
        }
        if (e >= '0' && e <= '7')
            return Number(8, 2, static_cast<unsigned>(e - '0'));
        return static_cast<char16_t>(e);
    }

    // Up to maxDigits more digits of the given base, after an initial value.
    char16_t Number(unsigned base, int maxDigits, unsigned value)
    {
        for (int n = 0; n < maxDigits && position_ < text_.size(); ++n) {
            const char c = text_[position_];
            const bool digit = base == 16 ? IsHexDigit(c) : (c >= '0' && c <= '7');
            if (!digit)
                break;
            value = value * base + HexValue(c);
            ++position_;
        }
        return static_cast<char16_t>(value);
    }

    std::string_view text_;
    std::size_t position_;
    char delimiter_;
    bool terminated_ = false;
    char16_t pending_ = 0;
};

struct TDecoded {
    std::u16string Text;
    std::size_t End = 0;  // position after the delimiter
};

std::optional<TDecoded> ReadEscaped(std::string_view text, std::size_t position, char delimiter)
{
    TEscapedReader reader(text, position, delimiter);
    TDecoded decoded;
    for (char16_t unit = 0; reader.Next(unit);)
        decoded.Text.push_back(unit);
    if (!reader.Terminated())
        return std::nullopt;
    decoded.End = reader.Position();
    return decoded;
}

std::vector<std::uint8_t> StringBytes(std::u16string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2 + 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// Parses hexadecimal digits at the start of text; false when there are none
// or more than maxDigits.
bool ParseHex(std::string_view& text, int maxDigits, std::uint32_t& value)
{
    int digits = 0;
    value = 0;
    while (!text.empty() && IsHexDigit(text.front())) {
        if (++digits > maxDigits)
            return false;
        value = value * 16 + HexValue(text.front());
        text.remove_prefix(1);
    }
    return digits > 0;
}

bool Consume(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// A quoted string and nothing else but blanks.
std::optional<std::vector<std::uint8_t>> ParseQuoted(std::string_view text)
{
    if (!text.starts_with('"'))
        return std::nullopt;
    const auto decoded = ReadEscaped(text, 1, '"');
    if (!decoded || !TrimBlanks(text.substr(decoded->End)).empty())
        return std::nullopt;
    return StringBytes(decoded->Text);
}

// Comma-separated byte values, as after "hex:".
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    text = TrimBlanks(text);
    while (!text.empty()) {
        std::uint32_t byte = 0;
        if (!ParseHex(text, 2, byte))
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(byte));
        text = TrimBlanks(text);
        if (!text.empty() && !Consume(text, ","))
            return std::nullopt;
        text = TrimBlanks(text);
    }
    return bytes;
}

// The data after "name=": "text", str(N):"text", dword:XXXXXXXX, hex:.. or hex(N):..
std::optional<TRegData> ParseData(std::string_view text)
{
    text = TrimBlanks(text);
    TRegData data;
    std::uint32_t number = 0;
    std::optional<std::vector<std::uint8_t>> bytes;
    if (text.starts_with('"')) {
        data.Type = kRegSz;
        bytes = ParseQuoted(text);
    } else if (Consume(text, "str(")) {
        if (ParseHex(text, 8, data.Type) && Consume(text, "):"))
            bytes = ParseQuoted(text);
    } else if (Consume(text, "dword:")) {
        data.Type = kRegDword;
        if (ParseHex(text, 8, number) && text.empty())
            bytes = std::vector<std::uint8_t>{static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                                              static_cast<std::uint8_t>(number >> 16),
                                              static_cast<std::uint8_t>(number >> 24)};
    } else if (Consume(text, "hex:")) {
        data.Type = kRegBinary;
        bytes = ParseHexBytes(text);
    } else if (Consume(text, "hex(")) {
        if (ParseHex(text, 8, data.Type) && Consume(text, "):"))
            bytes = ParseHexBytes(text);
    }
    if (!bytes)
        return std::nullopt;
    data.Bytes = std::move(*bytes);
    return data;
}

std::size_t LineEnd(std::string_view text, std::size_t begin)
{
    const void* newline = std::memchr(text.data() + begin, '\n', text.size() - begin);
    return newline == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(newline) - text.data()) + 1;
}

// A line without its line end (LF or CR LF).
std::string_view LineContent(std::string_view text, std::size_t begin, std::size_t end)
{
    std::string_view line = text.substr(begin, end - begin);
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

// The start of the first key header line (a "[" that begins a line) at or
// after from.
std::size_t NextHeader(std::string_view text, std::size_t from)
{
    for (std::size_t at = from; at < text.size(); ++at) {
        const void* bracket = std::memchr(text.data() + at, '[', text.size() - at);
        if (bracket == nullptr)
            break;
        at = static_cast<std::size_t>(static_cast<const char*>(bracket) - text.data());
        if (at == 0 || text[at - 1] == '\n')
            return at;
    }
    return std::string::npos;
}

// The path's components joined by single backslashes.
std::u16string NormalizeKeyPath(std::u16string_view path)
{
    std::u16string normal;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == u'\\' && (normal.empty() || normal.back() == u'\\' || i + 1 == path.size()))
            continue;
        normal.push_back(path[i]);
    }
    if (normal.ends_with(u'\\'))
        normal.pop_back();
    return normal;
}

// A key path as Wine writes it in a header, when it is printable ASCII
// (backslash and brackets escaped); empty otherwise.
std::string CanonicalHeaderName(std::u16string_view path)
{
    std::string name;
    for (char16_t unit : path) {
        if (unit < 0x20 || unit >= 0x7F)
            return {};
        if (unit == u'\\' || unit == u'[' || unit == u']')
            name += '\\';
        name += static_cast<char>(unit);
    }
    return name;
}

// How a header names a key path: the key itself, a key below it, or neither.
enum class TKeyMatch { None, Key, Below };

struct THeaderMatch {
    TKeyMatch Kind = TKeyMatch::None;
    std::size_t NameEnd = 0;  // offset of the text just after the path's last character
};

// MatchHeader for the header line, decoding every escape.
THeaderMatch MatchDecodedHeader(std::string_view line, std::size_t header, std::u16string_view path)
{
    TEscapedReader reader(line, 1, ']');
    char16_t unit = 0;
    for (char16_t wanted : path) {
        if (!reader.Next(unit) || RegistryCaseFold(unit) != RegistryCaseFold(wanted))
            return {};
    }
    const std::size_t end = header + reader.Position();
    if (!reader.Next(unit))
        return reader.Terminated() ? THeaderMatch{TKeyMatch::Key, end} : THeaderMatch{};
    return unit == u'\\' ? THeaderMatch{TKeyMatch::Below, end} : THeaderMatch{};
}

// Eight bytes with their ASCII lower-case letters made upper-case, all at once:
// a byte gets 0x20 taken off where it is below 0x80, at least 'a' and at most 'z'.
std::uint64_t UpperCaseAscii(std::uint64_t bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const std::uint64_t low = bytes & ~kHighBits;
    const std::uint64_t atLeastA = low + (0x80 - 'a') * kOnes;
    const std::uint64_t aboveZ = low + (0x80 - 'z' - 1) * kOnes;
    const std::uint64_t lowerCase = atLeastA & ~aboveZ & ~bytes & kHighBits;
    return bytes - (lowerCase >> 2);
}

// The length of the longest common start of a and b, ASCII letters compared
// without regard to case; eight bytes at a time where they agree, since every
// header of a file is compared with the key path so.
std::size_t FoldedCommonLength(std::string_view a, std::string_view b)
{
    const std::size_t size = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y && UpperCaseAscii(x) != UpperCaseAscii(y))
            break;
    }
    while (i < size && FoldCase(static_cast<unsigned char>(a[i])) == FoldCase(static_cast<unsigned char>(b[i])))
        ++i;
    return i;
}

// How the header line at text[header] names the key path, made quick for the
// usual header: the raw text is compared with the path's canonical form, and
// decoded only where it may be written another way (an escape or a non-ASCII
// byte where the two differ). A line end never matches the canonical form.
THeaderMatch MatchHeader(std::string_view text, std::size_t header, std::u16string_view path,
                         std::string_view canonical)
{
    const auto decoded = [&] {
        return MatchDecodedHeader(LineContent(text, header, LineEnd(text, header)), header, path);
    };
    if (canonical.empty() && !path.empty())
        return decoded();
    const std::string_view name = text.substr(header + 1);
    const std::size_t i = FoldedCommonLength(name, canonical);
    if (i == canonical.size() && name.substr(i).starts_with(']'))
        return {TKeyMatch::Key, header + 1 + i};
    if (i == canonical.size() && name.substr(i).starts_with("\\\\"))
        return {TKeyMatch::Below, header + 1 + i};
    if (i < name.size() && (name[i] == '\\' || static_cast<unsigned char>(name[i]) >= 0x80))
        return decoded();
    return {};
}

// The lines that open a key's section as Wine writes them: the header with
// the time in seconds since 1970 and, where the file's sections carry one, a
// "#time=" line with the time in 100 ns units since 1601.
std::string SectionStart(std::string_view name, bool timeLine, std::chrono::system_clock::time_point now)
{
    using TTicks = std::chrono::duration<long long, std::ratio<1, 10000000>>;
    constexpr long long kTicks1601To1970 = 116444736000000000LL;
    const auto since1970 = now.time_since_epoch();
    char line[64];
    std::snprintf(line, sizeof line, "] %u\n",
                  static_cast<unsigned>(std::chrono::duration_cast<std::chrono::seconds>(since1970).count()));
    std::string start = "[" + std::string(name) + line;
    if (timeLine) {
        std::snprintf(line, sizeof line, "#time=%llx\n",
                      static_cast<unsigned long long>(std::chrono::duration_cast<TTicks>(since1970).count() +
                                                      kTicks1601To1970));
        start += line;
    }
    return start;
}

}  // namespace

bool TRegistryText::IsValid() const
{
    return text_.starts_with(kSignature);
}

bool TRegistryText::Is64Bit() const
{
    for (std::size_t begin = 0; begin < text_.size() && text_[begin] != '[';) {
        const std::size_t end = LineEnd(text_, begin);
        if (LineContent(text_, begin, end) == "#arch=win64")
            return true;
        begin = end;
    }
    return false;
}

std::optional<TTextRange> TRegistryText::FindKey(std::u16string_view path) const
{
    const auto section = FindSection(path, false);
    if (!section)
        return std::nullopt;
    const std::size_t end = LineEnd(text_, *section);
    const std::size_t next = NextHeader(text_, end);
    return TTextRange{end, next == std::string::npos ? text_.size() : next};
}

bool TRegistryText::KeyExists(std::u16string_view path) const
{
    return FindSection(path, false) || FindSection(path, true);
}

std::optional<TNewSection> TRegistryText::NewSection(std::u16string_view path,
                                                     std::chrono::system_clock::time_point now) const
{
    const auto header = FindSection(path, true);
    if (!header)
        return std::nullopt;
    // Wine writes a key just before the first key below it, its name spelled
    // as there.
    const std::u16string wanted = NormalizeKeyPath(path);
    const std::size_t nameEnd = MatchHeader(text_, *header, wanted, CanonicalHeaderName(wanted)).NameEnd;
    const bool timeLine = text_.substr(LineEnd(text_, *header)).starts_with("#time=");
    return TNewSection{*header, SectionStart(text_.substr(*header + 1, nameEnd - *header - 1), timeLine, now)};
}

std::optional<std::size_t> TRegistryText::FindSection(std::u16string_view path, bool below) const
{
    const std::u16string wanted = NormalizeKeyPath(path);
    const std::string canonical = CanonicalHeaderName(wanted);
    const TKeyMatch kind = below ? TKeyMatch::Below : TKeyMatch::Key;
    for (std::size_t header = NextHeader(text_, 0); header != std::string::npos;
         header = NextHeader(text_, header + 1)) {
        if (MatchHeader(text_, header, wanted, canonical).Kind == kind)
            return header;
    }
    return std::nullopt;
}

std::optional<TValueEntry> TRegistryText::FindValue(TTextRange key, std::u16string_view name) const
{
    for (std::size_t begin = key.Begin; begin < key.End;) {
        std::size_t end = LineEnd(text_, begin);
        const std::string_view line = LineContent(text_, begin, end);
        std::optional<TDecoded> entryName;
        if (line.starts_with('@'))
            entryName = TDecoded{u"", 1};
        else if (line.starts_with('"'))
            entryName = ReadEscaped(line, 1, '"');
        if (!entryName || !line.substr(entryName->End).starts_with('=') || !SameRegistryName(entryName->Text, name)) {
            begin = end;
            continue;
        }
        std::string data(line.substr(entryName->End + 1));
        // Binary data goes on over lines that end with a backslash.
        const bool binary = TrimBlanks(data).starts_with("hex");
        while (binary && data.ends_with('\\') && end < key.End) {
            data.pop_back();
            const std::size_t next = LineEnd(text_, end);
            data += TrimBlanks(LineContent(text_, end, next));
            end = next;
        }
        return TValueEntry{TTextRange{begin, end}, begin + entryName->End, ParseData(data)};
    }
    return std::nullopt;
}

std::size_t TRegistryText::EndOfValues(TTextRange key) const
{
    std::size_t last = key.Begin;
    for (std::size_t begin = key.Begin; begin < key.End;) {
        const std::size_t end = LineEnd(text_, begin);
        if (!TrimBlanks(LineContent(text_, begin, end)).empty())
            last = end;
        begin = end;
    }
    return last;
}

std::optional<TTextRange> TRegistryHive::FindKnownKey(std::u16string_view path)
{
    if (const auto known = known_.find(path); known != known_.end())
        return known->second;
    return known_.emplace(std::u16string(path), FindKey(path)).first->second;
}

std::optional<TTextRange> TRegistryHive::WritableKey(std::u16string_view path, std::chrono::system_clock::time_point now)
{
    if (const auto key = FindKnownKey(path))
        return key;
    const auto section = Searches().NewSection(path, now);
    if (!section)
        return std::nullopt;
    text_.insert(section->At, section->Lines + "\n");
    known_.clear();  // a new section: keys not found before may be found now
    const std::size_t begin = section->At + section->Lines.size();
    return TTextRange{begin, begin + 1};
}

void TRegistryHive::SetDword(TTextRange key, std::u16string_view name, std::uint32_t value)
{
    char data[24];
    std::snprintf(data, sizeof data, "=dword:%08x\n", static_cast<unsigned>(value));
    if (const auto entry = FindValue(key, name)) {
        EditValues(entry->Equals, entry->Lines.End - entry->Equals, data);
        return;
    }
    std::string line = (name.empty() ? std::string("@") : "\"" + EscapeRegistryString(name) + "\"") + data;
    std::size_t at = Searches().EndOfValues(key);
    // The text may end without a line end: after the key's header, which
    // gets its own, or after its last value line.
    if (at > 0 && text_[at - 1] != '\n' && at == key.Begin)
        EndLastHeader(at++);
    else if (at > 0 && text_[at - 1] != '\n')
        line.insert(0, "\n");
    EditValues(at, 0, line);
}

bool TRegistryHive::DeleteValue(TTextRange key, std::u16string_view name)
{
    const auto entry = FindValue(key, name);
    if (!entry)
        return false;
    EditValues(entry->Lines.Begin, entry->Lines.End - entry->Lines.Begin, {});
    return true;
}

void TRegistryHive::EndLastHeader(std::size_t at)
{
    text_.insert(at, 1, '\n');
    for (auto& [path, key] : known_) {
        if (key && key->Begin == at)
            *key = TTextRange{at + 1, at + 1};
    }
}

void TRegistryHive::EditValues(std::size_t at, std::size_t count, std::string_view bytes)
{
    text_.replace(at, count, bytes);
    // Keys after the edited one move; the edited one (which holds at, at its
    // end too when a value is added there) grows or shrinks. No header is
    // made or removed, so keys not found stay so.
    const auto moved = [&](std::size_t offset) { return offset - count + bytes.size(); };
    for (auto& [path, key] : known_) {
        if (key && key->Begin > at)
            *key = TTextRange{moved(key->Begin), moved(key->End)};
        else if (key && key->End >= at)
            key->End = moved(key->End);
    }
}

std::string EscapeRegistryString(std::u16string_view name)
{
    static constexpr char kEscapes[] = ".......abtnvfr.............e....";
    std::string out;
    char buffer[16];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i];
        const char16_t next = i + 1 < name.size() ? name[i + 1] : u'\0';
        if (unit > 127) {
            // Four digits when a hex digit follows, so the reader stops in time.
            const bool padded = next < 128 && IsHexDigit(static_cast<char>(next));
            std::snprintf(buffer, sizeof buffer, padded ? "\\x%04x" : "\\x%x", static_cast<unsigned>(unit));
            out += buffer;
        } else if (unit < 32 && kEscapes[unit] != '.') {
            out += '\\';
            out += kEscapes[unit];
        } else if (unit < 32) {
            const bool padded = next >= u'0' && next <= u'7';
            std::snprintf(buffer, sizeof buffer, padded ? "\\%03o" : "\\%o", static_cast<unsigned>(unit));
            out += buffer;
        } else {
            if (unit == u'\\' || unit == u'"')
                out += '\\';
            out += static_cast<char>(unit);
        }
    }
    return out;
}

}  // namespace quorvex
