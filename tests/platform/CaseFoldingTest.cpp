#include "platform/wine/CaseFolding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Each pair as Wine 8's own "reg" matched it (measured: a value added under
// one spelling, queried under the other): only letters whose simple upper and
// lower case mappings lead to each other match, one UTF-16 unit at a time.
TEST(CaseFolding, RegistryNamesMatchAsWinesRegistryMatchesThem)
{
    const struct {
        std::u16string a;
        std::u16string b;
        bool same;
    } cases[] = {
        {u"a", u"A", true},
        {u"\u00C9", u"\u00E9", true},              // É é
        {u"\u0416", u"\u0436", true},              // Ж ж
        {u"\uFF21", u"\uFF41", true},              // fullwidth Ａ ａ
        {u"\u00FF", u"\u0178", true},              // ÿ Ÿ
        {u"\u01C4", u"\u01C6", true},              // Ǆ ǆ
        {u"\u10A0", u"\u2D00", true},              // Georgian
        {u"\u1C90", u"\u10D0", true},
        {u"\u13A0", u"\uAB70", true},              // Cherokee
        {u"\u1F88", u"\u1F80", true},
        {u"\u2C00", u"\u2C30", true},              // Glagolitic
        {u"\u0131", u"I", false},                   // dotless i
        {u"\u0131", u"i", false},
        {u"\u0130", u"i", false},                   // dotted I
        {u"\u212A", u"k", false},                   // Kelvin sign
        {u"\u212A", u"K", false},
        {u"\u017F", u"s", false},                   // long s
        {u"\u03C2", u"\u03C3", false},             // final sigma
        {u"\u03A3", u"\u03C2", false},
        {u"\u1E9E", u"\u00DF", false},             // capital sharp s
        {u"\U00010400", u"\U00010428", false},     // beyond the 16-bit units
        {u"\u00B5", u"\u03BC", false},             // micro sign
        {u"\u00B5", u"\u039C", false},
        {u"\u01C5", u"\u01C6", false},             // title case
        {u"\u01C5", u"\u01C4", false},
        {u"\u01C8", u"\u01C9", false},
        {u"\u0345", u"\u0399", false},
        {u"\u0390", u"\u1FD3", false},
        {u"\u03F4", u"\u03B8", false},
        {u"\u1E9B", u"\u1E61", false},
        {u"Caf\u00E9", u"CAF\u00C9", true},
        {u"Caf\u00E9", u"Cafe", false},
        {u"ab", u"a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<unsigned>(c.a.begin(), c.a.end())) + " | " +
                     testing::PrintToString(std::vector<unsigned>(c.b.begin(), c.b.end())));
        EXPECT_EQ(SameRegistryName(c.a, c.b), c.same);
        EXPECT_EQ(SameRegistryName(c.b, c.a), c.same);
    }
}

}  // namespace
}  // namespace quorvex
