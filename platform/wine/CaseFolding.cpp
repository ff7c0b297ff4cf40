#include "platform/wine/CaseFolding.h"

#include "platform/Text.h"

#include <algorithm>

namespace quorvex {

namespace {

char32_t FoldByRuns(std::span<const TCaseFoldRun> runs, char32_t codePoint)
{
    const auto after = std::upper_bound(runs.begin(), runs.end(), codePoint,
                                        [](char32_t cp, const TCaseFoldRun& run) { return cp < run.First; });
    if (after == runs.begin())
        return codePoint;
    const TCaseFoldRun& run = *(after - 1);
    if (codePoint > run.Last || (codePoint - run.First) % run.Stride != 0)
        return codePoint;
    return static_cast<char32_t>(static_cast<std::int64_t>(codePoint) + run.Delta);
}

}  // namespace

char32_t SimpleCaseFold(char32_t codePoint)
{
    return FoldByRuns(CaseFoldRuns(), codePoint);
}

char16_t RegistryCaseFold(char16_t unit)
{
    if (unit < 0x80)  // most names: no table search
        return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
    return static_cast<char16_t>(FoldByRuns(RegistryCaseRuns(), unit));
}

bool SameRegistryName(std::u16string_view a, std::u16string_view b)
{
    return std::ranges::equal(a, b, [](char16_t x, char16_t y) { return RegistryCaseFold(x) == RegistryCaseFold(y); });
}

namespace {

// The next character of a name, folded; a byte outside valid UTF-8 is kept
// apart from every character by an offset past the last code point.
char32_t NextFolded(std::string_view name, std::size_t& index)
{
    constexpr char32_t kStrayByte = 0x110000;
    const auto byte = static_cast<unsigned char>(name[index]);
    char32_t cp = 0;
    const std::size_t length = DecodeCharacter(name, index, cp);
    index += length;
    if (byte >= 0x80 && length == 1)
        return kStrayByte + byte;
    return SimpleCaseFold(cp);
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (NextFolded(a, i) != NextFolded(b, j))
            return false;
    }
    return i == a.size() && j == b.size();
}

}  // namespace quorvex
