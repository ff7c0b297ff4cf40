#include "platform/wine/RegistryHive.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace quorvex {
namespace {

using test::Replaced;

const std::string kHive =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Yahoo\\\\Pager] 1700000000\n"
    "#time=1d9f2a3b4c5d6e7\n"
    "\"Launch on Startup\"=dword:00000001\n"
    "\"Neg\"=dword:ffffffff\n"
    "\"Str\"=\"a \\\"quoted\\\" \\\\ path \\x263a\\n\"\n"
    "\"Exp\"=str(2):\"%TEMP%\"\n"
    "\"Bin\"=hex:01,02,\\\n"
    "  03,04\n"
    "\"Dw4\"=hex(4):05,00,00,00\n"
    "this line is not understood\n"
    "\"Broken\"=dword:xyz\n"
    "@=\"default\"\n"
    "\n"
    "[Software\\\\Yahoo\\\\Pager\\\\Test] 1700000000\n"
    "\"Plural\"=dword:00000002\n";

std::vector<std::uint8_t> Wide(std::u16string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

TTextRange Pager(const TRegistryHive& hive)
{
    const auto key = hive.FindKey(u"Software\\Yahoo\\Pager");
    EXPECT_TRUE(key.has_value());
    return key.value_or(TTextRange{});
}

TEST(RegistryHive, KeysAreFoundWithoutRegardToCaseAndOnlyWhereTheirHeaderIs)
{
    const TRegistryHive hive(kHive);
    EXPECT_TRUE(hive.IsValid());
    EXPECT_TRUE(hive.Is64Bit());
    EXPECT_TRUE(hive.FindKey(u"software\\YAHOO\\pager").has_value());
    EXPECT_TRUE(hive.FindKey(u"\\Software\\Yahoo\\Pager\\Test\\").has_value());
    EXPECT_FALSE(hive.FindKey(u"Software\\Yahoo").has_value());  // no header of its own
    EXPECT_FALSE(hive.FindKey(u"Software\\Yahoo\\Pager\\Tes").has_value());
    // The key's lines end where the next key begins.
    const TTextRange pager = Pager(hive);
    EXPECT_EQ(kHive.substr(pager.End).rfind("[Software\\\\Yahoo\\\\Pager\\\\Test]", 0), 0u);

    // Headers written with escapes where none were needed, or with raw UTF-8.
    const TRegistryHive odd("WINE REGISTRY Version 2\n[Soft\\x0077are\\\\Y\\x61hoo] 1\n[Caf\xc3\xa9\\\\\\[1\\]] 1\n");
    EXPECT_TRUE(odd.FindKey(u"software\\yahoo").has_value());
    EXPECT_TRUE(odd.FindKey(u"CAF\u00e9\\[1]").has_value());
    EXPECT_TRUE(odd.FindKey(u"caf\u00c9\\[1]").has_value());  // é and É match, as in Wine
    EXPECT_FALSE(odd.FindKey(u"cafe\\[1]").has_value());

    EXPECT_FALSE(TRegistryHive("WINE REGISTRY Version 2\n#arch=win32\n").Is64Bit());
    EXPECT_FALSE(TRegistryHive("REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n").IsValid());
}

TEST(RegistryHive, ValuesOfEveryFormAreRead)
{
    const TRegistryHive hive(kHive);
    const struct {
        std::u16string name;
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {u"launch on startup", kRegDword, {1, 0, 0, 0}},
        {u"Neg", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {u"Str", kRegSz, Wide(u"a \"quoted\" \\ path \u263a\n")},
        {u"Exp", kRegExpandSz, Wide(u"%TEMP%")},
        {u"Bin", kRegBinary, {1, 2, 3, 4}},
        {u"Dw4", kRegDword, {5, 0, 0, 0}},
        {u"", kRegSz, Wide(u"default")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        const auto entry = hive.FindValue(Pager(hive), c.name);
        ASSERT_TRUE(entry.has_value());
        ASSERT_TRUE(entry->Data.has_value());
        EXPECT_EQ(entry->Data->Type, c.type);
        EXPECT_EQ(entry->Data->Bytes, c.bytes);
    }
}

TEST(RegistryHive, MalformedLinesAreSkippedAndKept)
{
    const TRegistryHive hive(kHive);
    const auto broken = hive.FindValue(Pager(hive), u"Broken");
    ASSERT_TRUE(broken.has_value());
    EXPECT_FALSE(broken->Data.has_value());
    EXPECT_FALSE(hive.FindValue(Pager(hive), u"Plural").has_value());  // another key's value

    const std::string garbage[] = {
        "", "[", "[unterminated\n", "\"", "\"x\n", "\"x\"", "\"x\"=hex:zz\n", "\"x\"=hex:01,,02\n", "@", "\\\\\\",
        "\"x\"=str(2:\"a\"\n", "\"x\"=\"a\\", "[a\\x", "\"x\"=dword:123456789\n",
    };
    for (const std::string& tail : garbage) {
        SCOPED_TRACE(tail);
        TRegistryHive odd("WINE REGISTRY Version 2\n[a]\n" + tail);
        const auto key = odd.FindKey(u"a");
        ASSERT_TRUE(key.has_value());
        const auto entry = odd.FindValue(*key, u"x");
        EXPECT_FALSE(entry.has_value() && entry->Data.has_value());
        odd.SetDword(*key, u"y", 7);  // still editable, nothing lost
        EXPECT_NE(odd.Text().find(tail), std::string::npos);
        EXPECT_TRUE(odd.FindValue(*odd.FindKey(u"a"), u"y").has_value());
    }
}

TEST(RegistryHive, SetDwordReplacesOnlyTheValuesLines)
{
    TRegistryHive hive(kHive);
    hive.SetDword(Pager(hive), u"LAUNCH ON STARTUP", 0);  // the stored name keeps its case
    std::string expected = Replaced(kHive, "\"Launch on Startup\"=dword:00000001", "\"Launch on Startup\"=dword:00000000");
    EXPECT_EQ(hive.Text(), expected);

    hive.SetDword(Pager(hive), u"Bin", 0x12ab);  // a value over two lines becomes one
    expected = Replaced(expected, "\"Bin\"=hex:01,02,\\\n  03,04\n", "\"Bin\"=dword:000012ab\n");
    EXPECT_EQ(hive.Text(), expected);
}

TEST(RegistryHive, SetDwordAddsANewValueAtTheEndOfItsKey)
{
    TRegistryHive hive(kHive);
    hive.SetDword(Pager(hive), u"SmileySearch", 1);
    EXPECT_EQ(hive.Text(), Replaced(kHive, "@=\"default\"\n", "@=\"default\"\n\"SmileySearch\"=dword:00000001\n"));

    // A key at the end of a file without a final line end.
    TRegistryHive last("WINE REGISTRY Version 2\n\n[a] 1");
    last.SetDword(*last.FindKey(u"a"), u"v", 2);
    EXPECT_EQ(last.Text(), "WINE REGISTRY Version 2\n\n[a] 1\n\"v\"=dword:00000002\n");
}

TEST(RegistryHive, AKeyWithOnlyKeysBelowItExists)
{
    const TRegistryHive hive(kHive);
    const struct {
        std::u16string_view path;
        bool exists;
    } cases[] = {
        {u"Software", true},
        {u"software\\YAHOO", true},
        {u"Software\\Yahoo\\Pager\\Test", true},
        {u"Software\\Yah", false},  // part of a name is no key
        {u"Software\\Yahoo\\Pager\\Tes", false},
        {u"Software\\Yahoo\\Pager\\Test\\Window", false},
        {u"Soft", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(hive.KeyExists(c.path), c.exists);
    }
    // Below a header written with escapes or raw UTF-8.
    const TRegistryHive odd("WINE REGISTRY Version 2\n[Caf\\x00e9\\\\W] 1\n[Caf\xc3\xa9\\\\\\[1\\]\\\\x] 1\n");
    EXPECT_TRUE(odd.KeyExists(u"CAF\u00e9"));
    EXPECT_TRUE(odd.KeyExists(u"Caf\u00e9\\[1]"));
    EXPECT_FALSE(odd.KeyExists(u"Caf\u00e9\\[1"));
}

TEST(RegistryHive, AValueWrittenIntoAKeyWithoutASectionAddsOneAsWineWritesIt)
{
    using std::chrono::system_clock;
    const system_clock::time_point now{std::chrono::seconds(1700000000) + std::chrono::microseconds(123456)};
    const struct {
        std::string before;
        std::u16string_view key;
        std::string after;
    } cases[] = {
        // Spelled as the key below it, just before it, with the time line that
        // the file's sections carry.
        {kHive, u"software\\yahoo",
         Replaced(kHive, "\n[Software\\\\Yahoo\\\\Pager] 1700000000\n",
                  "\n[Software\\\\Yahoo] 1700000000\n#time=1da1747c67fd680\n\"v\"=dword:00000007\n\n"
                  "[Software\\\\Yahoo\\\\Pager] 1700000000\n")},
        {"WINE REGISTRY Version 2\n\n[A\\\\B] 1\n\n[Caf\\x00e9\\\\W\\\\X] 1\n\"x\"=dword:00000001\n", u"CAF\u00e9\\w",
         "WINE REGISTRY Version 2\n\n[A\\\\B] 1\n\n[Caf\\x00e9\\\\W] 1700000000\n\"v\"=dword:00000007\n\n"
         "[Caf\\x00e9\\\\W\\\\X] 1\n\"x\"=dword:00000001\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        TRegistryHive hive(c.before);
        EXPECT_FALSE(hive.FindKey(c.key).has_value());
        const auto key = hive.WritableKey(c.key, now);
        ASSERT_TRUE(key.has_value());
        hive.SetDword(*key, u"v", 7);
        EXPECT_EQ(hive.Text(), c.after);
        const auto found = hive.FindKey(c.key);
        ASSERT_TRUE(found.has_value());
        EXPECT_TRUE(hive.FindValue(*found, u"V").has_value());
    }

    // A key with a section of its own gets no second one; a missing key none.
    TRegistryHive hive(kHive);
    const auto pager = hive.WritableKey(u"Software\\Yahoo\\Pager", now);
    ASSERT_TRUE(pager.has_value());
    EXPECT_EQ(pager->Begin, Pager(hive).Begin);
    EXPECT_FALSE(hive.WritableKey(u"Software\\Yah", now).has_value());
    EXPECT_EQ(hive.Text(), kHive);
}

TEST(RegistryHive, NamesAreWrittenWithWinesEscapesAndFoundAgain)
{
    TRegistryHive hive("WINE REGISTRY Version 2\n\n[a]\n");
    const std::u16string name = u"q\"b\\s\u00e9A\u263a\t\x01";
    hive.SetDword(*hive.FindKey(u"a"), name, 1);
    EXPECT_EQ(hive.Text(), "WINE REGISTRY Version 2\n\n[a]\n\"q\\\"b\\\\s\\x00e9A\\x263a\\t\\1\"=dword:00000001\n");
    EXPECT_TRUE(hive.FindValue(*hive.FindKey(u"a"), name).has_value());
}

TEST(RegistryHive, DeleteValueRemovesAllItsLinesAndNothingElse)
{
    TRegistryHive hive(kHive);
    EXPECT_TRUE(hive.DeleteValue(Pager(hive), u"bin"));
    const std::string expected = Replaced(kHive, "\"Bin\"=hex:01,02,\\\n  03,04\n", "");
    EXPECT_EQ(hive.Text(), expected);
    EXPECT_FALSE(hive.DeleteValue(Pager(hive), u"Bin"));
    EXPECT_EQ(hive.Text(), expected);
}

TEST(RegistryHive, KnownKeysMoveAlongWithTheEditsOfValues)
{
    const std::u16string_view paths[] = {
        u"Software\\Yahoo\\Pager", u"software\\yahoo\\pager\\test", u"Software\\Yahoo", u"Missing",
    };
    const struct {
        const char* name;
        std::function<void(TRegistryHive&)> edit;
    } cases[] = {
        {"replacing a value over two lines", [](TRegistryHive& hive) { hive.SetDword(Pager(hive), u"Bin", 1); }},
        {"adding a value", [](TRegistryHive& hive) { hive.SetDword(Pager(hive), u"New", 2); }},
        {"removing a value", [](TRegistryHive& hive) { hive.DeleteValue(Pager(hive), u"Str"); }},
        {"adding a value to the last key",
         [](TRegistryHive& hive) { hive.SetDword(*hive.FindKey(u"Software\\Yahoo\\Pager\\Test"), u"New", 3); }},
        {"removing the only value of the last key",
         [](TRegistryHive& hive) { hive.DeleteValue(*hive.FindKey(u"Software\\Yahoo\\Pager\\Test"), u"Plural"); }},
        {"adding a section",
         [](TRegistryHive& hive) { hive.SetDword(*hive.WritableKey(u"Software\\Yahoo", {}), u"New", 4); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRegistryHive hive(kHive);
        for (const auto path : paths)
            hive.FindKnownKey(path);
        c.edit(hive);
        c.edit(hive);  // once more on the known keys as the first edit left them
        ASSERT_NE(hive.Text(), kHive);
        for (const auto path : paths) {
            SCOPED_TRACE(std::string(path.begin(), path.end()));
            const auto known = hive.FindKnownKey(path);
            const auto found = hive.FindKey(path);
            ASSERT_EQ(known.has_value(), found.has_value());
            if (found) {
                EXPECT_EQ(known->Begin, found->Begin);
                EXPECT_EQ(known->End, found->End);
            }
        }
    }
}

// Names as Wine writes them: escapes for every unit beyond ASCII (four digits
// where a hex digit follows); one header in plain UTF-8 as a hand edit leaves it.
const std::string kNamesHive =
    "WINE REGISTRY Version 2\n"
    "\n"
    "[Software\\\\Caf\\xe9] 1\n"
    "\"\\x00d1ame\"=dword:00000001\n"
    "\n"
    "[Software\\\\\\x416] 1\n"
    "\"\\xff21b\"=dword:00000002\n"
    "\n"
    "[Software\\\\\xc3\x91u] 1\n"
    "\"\\x131\"=dword:00000003\n"
    "\"\\x212a\"=dword:00000004\n";

TEST(RegistryHive, NamesBeyondAsciiMatchInEitherCaseAsWineMatchesThem)
{
    const TRegistryHive hive(kNamesHive);
    const struct {
        std::u16string key;
        std::u16string value;
        std::optional<std::uint8_t> data;  // empty: the value is not found
    } cases[] = {
        {u"Software\\Caf\u00e9", u"\u00d1ame", 1},   // as written
        {u"SOFTWARE\\CAF\u00c9", u"\u00f1AME", 1},   // the key's é found as É, the value's Ñ as ñ
        {u"software\\\u0436", u"\uff41B", 2},         // Ж as ж, Ａ as ａ
        {u"Software\\\u0416", u"\uff21b", 2},
        {u"SOFTWARE\\\u00d1U", u"\u0131", 3},         // a header in UTF-8: Ñ as Ñ
        {u"software\\\u00f1u", u"\u0131", 3},         // and as ñ
        {u"Software\\\u00d1u", u"I", std::nullopt},   // dotless i is no I
        {u"Software\\\u00d1u", u"i", std::nullopt},
        {u"Software\\\u00d1u", u"k", std::nullopt},   // nor the Kelvin sign a k
        {u"Software\\\u00d1u", u"K", std::nullopt},
        {u"Software\\\u00d1u", u"\u212a", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<unsigned>(c.key.begin(), c.key.end())) + " " +
                     testing::PrintToString(std::vector<unsigned>(c.value.begin(), c.value.end())));
        const auto key = hive.FindKey(c.key);
        ASSERT_TRUE(key.has_value());
        const auto entry = hive.FindValue(*key, c.value);
        ASSERT_EQ(entry.has_value(), c.data.has_value());
        if (entry) {
            ASSERT_TRUE(entry->Data.has_value());
            EXPECT_EQ(entry->Data->Bytes, (std::vector<std::uint8_t>{*c.data, 0, 0, 0}));
        }
    }
    EXPECT_FALSE(hive.FindKey(u"Software\\Cafe").has_value());
    EXPECT_FALSE(hive.FindKey(u"Software\\\u212a").has_value()) << "no header names a Kelvin sign";
}

// As Wine's reg does: the value keeps the spelling it has in the file.
TEST(RegistryHive, AWriteUnderAnotherSpellingReplacesTheValueWhereItIs)
{
    TRegistryHive hive(kNamesHive);
    const auto cafe = hive.WritableKey(u"SOFTWARE\\CAF\u00c9", {});
    ASSERT_TRUE(cafe.has_value());
    hive.SetDword(*cafe, u"\u00f1AME", 5);
    const auto journal = hive.WritableKey(u"software\\\u0436", {});
    ASSERT_TRUE(journal.has_value());
    hive.SetDword(*journal, u"\uff41B", 6);
    EXPECT_EQ(hive.Text(), Replaced(Replaced(kNamesHive, "\"\\x00d1ame\"=dword:00000001", "\"\\x00d1ame\"=dword:00000005"),
                                    "\"\\xff21b\"=dword:00000002", "\"\\xff21b\"=dword:00000006"));
    const auto upper = hive.FindKey(u"Software\\Caf\u00c9");
    ASSERT_TRUE(upper.has_value());
    EXPECT_TRUE(hive.DeleteValue(*upper, u"\u00d1AME"));
    EXPECT_EQ(hive.Text().find("\\x00d1ame"), std::string::npos);
}

// A file whose last line is a key's header without a line end: the header
// gets one, and the key's remembered lines start after it, so that later
// edits through them add no blank line.
TEST(RegistryHive, ValuesAddedBelowALastHeaderWithoutLineEndKeepTheKeysPlace)
{
    const std::string start = "WINE REGISTRY Version 2\n\n[a] 1";
    const struct {
        const char* name;
        std::function<void(TRegistryHive&)> edit;
        std::string after;
    } steps[] = {
        {"add", [](TRegistryHive& hive) { hive.SetDword(*hive.FindKnownKey(u"a"), u"x", 1); },
         start + "\n\"x\"=dword:00000001\n"},
        {"delete", [](TRegistryHive& hive) { hive.DeleteValue(*hive.FindKnownKey(u"a"), u"x"); }, start + "\n"},
        {"add again", [](TRegistryHive& hive) { hive.SetDword(*hive.FindKnownKey(u"a"), u"y", 2); },
         start + "\n\"y\"=dword:00000002\n"},
        {"add one more", [](TRegistryHive& hive) { hive.SetDword(*hive.FindKnownKey(u"A"), u"z", 3); },
         start + "\n\"y\"=dword:00000002\n\"z\"=dword:00000003\n"},
    };
    TRegistryHive hive(start);
    hive.FindKnownKey(u"A");
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.edit(hive);
        EXPECT_EQ(hive.Text(), step.after);
        for (const auto path : {u"a", u"A"}) {
            const auto known = hive.FindKnownKey(path);
            const auto found = hive.FindKey(path);
            ASSERT_TRUE(known && found);
            EXPECT_EQ(known->Begin, found->Begin);
            EXPECT_EQ(known->End, found->End);
        }
    }
}

TEST(RegistryHive, LinesEndingInCarriageReturnLineFeedAreRead)
{
    const TRegistryHive hive("WINE REGISTRY Version 2\r\n#arch=win64\r\n[k] 1\r\n\"v\"=dword:00000003\r\n");
    EXPECT_TRUE(hive.Is64Bit());
    const auto entry = hive.FindValue(*hive.FindKey(u"K"), u"v");
    ASSERT_TRUE(entry && entry->Data);
    EXPECT_EQ(entry->Data->Bytes, (std::vector<std::uint8_t>{3, 0, 0, 0}));
}

}  // namespace
}  // namespace quorvex
