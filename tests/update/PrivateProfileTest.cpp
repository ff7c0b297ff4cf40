// The update information file's INI reader and the decoding and line
// splitting of fetched texts.
#include "update/PrivateProfile.h"
#include "update/UpdateText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {
namespace {

using namespace std::string_view_literals;

struct TProfileCase {
    const char* Name;
    std::string_view Text;  // may hold NULs
    const char* Section;
    const char* Key;
    const char* Value;
};

void PrintTo(const TProfileCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PrivateProfileRules : public testing::TestWithParam<TProfileCase> {};

TEST_P(PrivateProfileRules, ReadString)
{
    const TProfileCase& c = GetParam();
    const TPrivateProfile profile = TPrivateProfile::FromText(c.Text);
    EXPECT_EQ(profile.ReadString(c.Section, c.Key), c.Value);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PrivateProfileRules,
    testing::Values(
        TProfileCase{"plain", "[Quorvex]\r\nVersion=1.0.5.0\r\n", "Quorvex", "Version", "1.0.5.0"},
        TProfileCase{"section in capitals", "[QUORVEX]\nVersion=2\n", "Quorvex", "Version", "2"},
        TProfileCase{"key in lower case", "[Quorvex]\nversion=3\n", "Quorvex", "Version", "3"},
        TProfileCase{"blanks around names and value", "  [ Quorvex ]  \n\t Version \t=  4 5 \t\n", "Quorvex",
                     "Version", "4 5"},
        TProfileCase{"double quotes", "[Quorvex]\nVersion=\" 6 \"\n", "Quorvex", "Version", " 6 "},
        TProfileCase{"single quotes", "[Quorvex]\nVersion='7'\n", "Quorvex", "Version", "7"},
        TProfileCase{"unmatched quotes stay", "[Quorvex]\nVersion=\"8'\n", "Quorvex", "Version", "\"8'"},
        TProfileCase{"inner quotes stay", "[Quorvex]\nVersion=a\"b\"\n", "Quorvex", "Version", "a\"b\""},
        TProfileCase{"a lone quote stays", "[Quorvex]\nVersion=\"\n", "Quorvex", "Version", "\""},
        TProfileCase{"empty quotes", "[Quorvex]\nVersion=\"\"\n", "Quorvex", "Version", ""},
        TProfileCase{"equals sign in the value", "[Quorvex]\nDownloadFileURL=http://h/a?x=1\n", "Quorvex",
                     "DownloadFileURL", "http://h/a?x=1"},
        TProfileCase{"missing section", "[Other]\nVersion=9\n", "Quorvex", "Version", ""},
        TProfileCase{"missing key", "[Quorvex]\nVersions=9\n", "Quorvex", "Version", ""},
        TProfileCase{"key of another section", "[Quorvex]\nA=1\n[Other]\nVersion=9\n", "Quorvex", "Version", ""},
        TProfileCase{"key before any section", "Version=9\n[Quorvex]\n", "Quorvex", "Version", ""},
        TProfileCase{"first key wins", "[Quorvex]\nVersion=1\nVersion=2\n", "Quorvex", "Version", "1"},
        TProfileCase{"first section wins", "[Quorvex]\nA=1\n[Quorvex]\nVersion=2\n", "Quorvex", "Version", ""},
        TProfileCase{"lone CR line ends", "[Quorvex]\rA=1\rVersion=2\r", "Quorvex", "Version", "2"},
        TProfileCase{"comment line is no key", "[Quorvex]\n;Version=2\n", "Quorvex", "Version", ""},
        TProfileCase{"line without equals", "[Quorvex]\nVersion\n", "Quorvex", "Version", ""},
        TProfileCase{"not a section header", "[Quorvex]\n x[Other]\nVersion=5\n", "Quorvex", "Version", "5"},
        TProfileCase{"unclosed bracket starts no section", "[Quorvex\n[Quorvex]\nVersion=6\n", "Quorvex", "Version", "6"},
        TProfileCase{"unclosed bracket ends no section", "[Quorvex]\n[Other\nVersion=7\n", "Quorvex", "Version", "7"},
        TProfileCase{"unclosed bracket is not the section asked for", "[Quorvex\nVersion=8\n", "Quorvex", "Version", ""},
        TProfileCase{"NUL ends the value", "[Quorvex]\nVersion=1.0\0.5.0\n"sv, "Quorvex", "Version", "1.0"},
        TProfileCase{"NUL first leaves an empty value", "[Quorvex]\nVersion=\0 1.0\n"sv, "Quorvex", "Version", ""},
        TProfileCase{"quotes around the value before a NUL", "[Quorvex]\nVersion='9'\0'\n"sv, "Quorvex", "Version",
                     "9"},
        TProfileCase{"empty text", "", "Quorvex", "Version", ""}));

TEST(PrivateProfile, ValuesAreCutAt2047Characters)
{
    const std::string longValue(3000, 'v');
    const TPrivateProfile profile = TPrivateProfile::FromText("[s]\nk=\"" + longValue + "\"\n");
    EXPECT_EQ(profile.ReadString("s", "k"), longValue.substr(0, 2047));
    // Characters, not bytes: 2047 "é" are 4094 bytes of UTF-8.
    std::string accents;
    for (int i = 0; i < 3000; ++i)
        accents += "\u00e9";
    EXPECT_EQ(TPrivateProfile::FromText("[s]\nk=" + accents).ReadString("s", "k"), accents.substr(0, 2 * 2047));
}

TEST(PrivateProfile, FilesAreDecodedByTheirByteOrderMark)
{
    const std::u16string text = u"[Quorvex]\r\nVersion=1.0.\u00e9\u20ac\r\n";
    std::string littleEndian = "\xFF\xFE";
    std::string bigEndian = "\xFE\xFF";
    for (const char16_t unit : text) {
        littleEndian += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        bigEndian += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    const std::pair<const char*, std::string> encodings[] = {
        {"UTF-16LE", littleEndian},
        {"UTF-16BE", bigEndian},
        {"UTF-8", "\xEF\xBB\xBF[Quorvex]\r\nVersion=1.0.\u00e9\u20ac\r\n"},
        {"Windows-1252", "[Quorvex]\r\nVersion=1.0.\xE9\x80\r\n"},
    };
    for (const auto& [name, bytes] : encodings)
        EXPECT_EQ(TPrivateProfile::FromBytes(bytes).ReadString("quorvex", "VERSION"), "1.0.\u00e9\u20ac") << name;
    EXPECT_TRUE(TPrivateProfile::FromBytes({}).ReadString("Quorvex", "Version").empty());
}

TEST(FetchedText, DecodedByByteOrderMarkElseWindows1252)
{
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBFna\xC3\xAFve"), "na\u00efve");
    EXPECT_EQ(DecodeTextFile("\xFF\xFEh\0i\0"sv), "hi");
    EXPECT_EQ(DecodeTextFile("\xFE\xFF\0h\0i"sv), "hi");
    EXPECT_EQ(DecodeTextFile("na\xEFve \x93quoted\x94"), "na\u00efve \u201cquoted\u201d");
    // UTF-8 without its mark is read as the 8-bit code page, as the system reads it.
    EXPECT_EQ(DecodeTextFile("\xC3\xAF"), "\u00c3\u00af");
}

struct TLinesCase {
    const char* Text;
    std::vector<std::string> Lines;
};

void PrintTo(const TLinesCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::string(c.Text));
}

class LineBreaks : public testing::TestWithParam<TLinesCase> {};

TEST_P(LineBreaks, SplitAtEveryKind)
{
    EXPECT_EQ(SplitLines(GetParam().Text), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, LineBreaks,
                         testing::Values(TLinesCase{"", {}}, TLinesCase{"one", {"one"}},
                                         TLinesCase{"a\r\nb\r\n", {"a", "b"}}, TLinesCase{"a\rb\nc", {"a", "b", "c"}},
                                         TLinesCase{"a\n\r\nb", {"a", "", "b"}},
                                         TLinesCase{"a\r\rb", {"a", "", "b"}},
                                         TLinesCase{"a\n\rb", {"a", "", "b"}}, TLinesCase{"\n", {""}},
                                         TLinesCase{"x\r\n\r\n", {"x", ""}}));

}  // namespace
}  // namespace quorvex
