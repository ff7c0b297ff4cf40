#include "platform/Text.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(Text, Utf8AndUtf16ConvertBothWays)
{
    const std::string utf8 = "Yahoo! \xc3\xa9 \xe2\x98\xba \xf0\x9f\x98\x80";
    const std::u16string utf16 = u"Yahoo! \u00e9 \u263a \U0001F600";
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Text, InvalidInputIsConvertedWithoutLoss)
{
    EXPECT_EQ(Utf8ToUtf16("a\xe9z\xc3"), u"a\u00e9z\u00c3");  // bytes that are not UTF-8 read as Latin-1
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\u00ed\u00a0\u0080");  // an encoded surrogate is not UTF-8
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xef\xbf\xbdx");
}

// Text written in pieces to a console is converted up to the last whole
// character; the bytes of a character cut in two wait for the next piece.
TEST(Text, CompleteUtf8LengthStopsBeforeACharacterCutInTwo)
{
    const struct {
        const char* text;
        std::size_t complete;
    } cases[] = {
        {"", 0},
        {"plain", 5},
        {"\xc3\xa9", 2},                  // é whole
        {"a\xc3", 1},                      // é cut after its lead byte
        {"a\xe4\xbf", 1},                  // 信 cut after two of three bytes
        {"a\xe4\xbf\xa1", 4},              // 信 whole
        {"a\xf0\x9f\x98", 1},              // an emoji cut after three of four bytes
        {"a\xf0\x9f\x98\x80", 5},          // whole
        {"a\x80", 2},                      // a stray continuation byte waits for nothing
        {"a\xff", 2},                      // a byte that leads nothing
        {"a\xc0", 2},                      // an overlong lead byte leads nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CompleteUtf8Length(c.text), c.complete);
    }
}

TEST(Text, NamesCompareWithoutRegardToAsciiCase)
{
    EXPECT_TRUE(EqualsNoCase("YahooMessenger.EXE", "yahoomessenger.exe"));
    EXPECT_FALSE(EqualsNoCase("YahooMessenger.exe", "YahooMessenger.ex"));
    EXPECT_TRUE(EqualsNoCase(u"Software\\Wow6432Node", u"SOFTWARE\\wow6432node"));
    EXPECT_FALSE(EqualsNoCase(u"[", u"{"));  // only letters fold
}

TEST(Text, ReplaceAllIsLiteralCaseSensitiveAndNeverRescansItsOutput)
{
    const struct {
        const char* text;
        const char* from;
        const char* to;
        const char* result;
    } cases[] = {
        {"a-b-c", "-", "--", "a--b--c"},        // the output holds from again: not replaced twice
        {"aaaa", "aa", "a", "aa"},              // left to right, no overlaps
        {"Mail mail MAIL", "mail", "x", "Mail x MAIL"},
        {"<!-- {Email} --> x <!-- {/Email} -->", "<!-- {Email} -->", "", " x <!-- {/Email} -->"},
        {"nothing here", "absent", "x", "nothing here"},
        {"keep", "", "x", "keep"},
        {"", "a", "b", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.result) << c.text << " / " << c.from;
}

}  // namespace
}  // namespace quorvex
