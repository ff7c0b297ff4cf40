#include "platform/CaseFolding.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvex {
namespace {

TEST(CaseFolding, EveryScriptsLettersFoldAsUnicodeSimpleCaseFoldingSays)
{
    const struct {
        char32_t from;
        char32_t to;
    } cases[] = {
        {U'A', U'a'},         {U'Z', U'z'},         {U'a', U'a'},         {U'@', U'@'},
        {U'[', U'['},         {U'\u00C9', U'\u00E9'}, {U'\u00DC', U'\u00FC'}, {U'\u00D7', U'\u00D7'},
        {U'\u0100', U'\u0101'}, {U'\u0101', U'\u0101'}, {U'\u012E', U'\u012F'}, {U'\u0130', U'\u0130'},
        {U'\u03A3', U'\u03C3'}, {U'\u03C2', U'\u03C3'}, {U'\u0416', U'\u0436'}, {U'\u1E9E', U'\u00DF'},
        {U'\u212A', U'k'},    {U'\u00B5', U'\u03BC'}, {U'\U00010400', U'\U00010428'}, {U'\U0010FFFF', U'\U0010FFFF'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.from));
        EXPECT_EQ(static_cast<unsigned>(SimpleCaseFold(c.from)), static_cast<unsigned>(c.to));
    }
}

TEST(CaseFolding, NamesCompareCharacterByCharacterAndStrayBytesOnlyByThemselves)
{
    const struct {
        std::string a;
        std::string b;
        bool same;
    } cases[] = {
        {"M\xc3\xa9ssenger \xc3\xbc", "M\xc3\x89SSENGER \xc3\x9c", true},
        {"YahooMessenger.exe", "YAHOOMESSENGER.EXE", true},
        {"\xd0\x96\xd0\xb6", "\xd0\xb6\xd0\x96", true},
        {"\xc3\xa9", "\xc3\x89x", false},
        {"stra\xc3\x9f" "e", "STRASSE", false},  // simple folding never makes two letters of one
        {"\xc9t\xe9", "\xc9T\xe9", true},         // not UTF-8: the same stray bytes
        {"\xc9", "\xe9", false},
        {"\xe9", "\xc3\xa9", false},
        {"a\xc3", "A\xc3", true},
        {"", "", true},
        {"a", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " | " + c.b);
        EXPECT_EQ(SameNameIgnoringCase(c.a, c.b), c.same);
        EXPECT_EQ(SameNameIgnoringCase(c.b, c.a), c.same);
    }
}

}  // namespace
}  // namespace quorvex
