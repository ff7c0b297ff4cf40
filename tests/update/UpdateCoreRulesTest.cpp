// The update checker's small rules: size texts, version order, the update
// section's name and the announced length.
#include "update/FileSize.h"
#include "update/UpdateHttp.h"
#include "update/UpdateVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex {
namespace {

using Unit = TVelkAppUpdateFileSizeUnit;

struct TSizeCase {
    Unit SizeUnit;
    std::int64_t Bytes;
    const char* Text;
};

void PrintTo(const TSizeCase& c, std::ostream* out)
{
    *out << static_cast<int>(c.SizeUnit) << ' ' << c.Bytes;
}

class FileSizeText : public testing::TestWithParam<TSizeCase> {};

TEST_P(FileSizeText, WithCommaSeparators)
{
    EXPECT_EQ(FormatFileSize(GetParam().Bytes, GetParam().SizeUnit, ","), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Units, FileSizeText,
    testing::Values(TSizeCase{Unit::Auto, 0, "0 B"}, TSizeCase{Unit::Auto, 1, "1 B"},
                    TSizeCase{Unit::Auto, 1024, "1,024 B"}, TSizeCase{Unit::Auto, 1025, "1 KB"},
                    TSizeCase{Unit::Auto, 1048576, "1,024 KB"}, TSizeCase{Unit::Auto, 1048577, "1 MB"},
                    TSizeCase{Unit::Auto, 1073741824, "1,024 MB"}, TSizeCase{Unit::Auto, 1073741825, "1 GB"},
                    TSizeCase{Unit::Auto, 5368709120, "5 GB"},
                    TSizeCase{Unit::Auto, 2199023255552, "2,048 GB"},
                    TSizeCase{Unit::Bytes, 0, "0 B"}, TSizeCase{Unit::Bytes, 999, "999 B"},
                    TSizeCase{Unit::Bytes, 1234567, "1,234,567 B"},
                    TSizeCase{Unit::KiloBytes, 0, "0 KB"}, TSizeCase{Unit::KiloBytes, 1, "1 KB"},
                    TSizeCase{Unit::KiloBytes, 2047, "1 KB"}, TSizeCase{Unit::KiloBytes, 2048, "2 KB"},
                    TSizeCase{Unit::KiloBytes, 1073741824, "1,048,576 KB"},
                    TSizeCase{Unit::MegaBytes, 0, "0 MB"}, TSizeCase{Unit::MegaBytes, 1048575, "1 MB"},
                    TSizeCase{Unit::MegaBytes, 3145728, "3 MB"},
                    TSizeCase{Unit::GigaBytes, 0, "0 GB"}, TSizeCase{Unit::GigaBytes, 1, "1 GB"},
                    TSizeCase{Unit::GigaBytes, 1099511627776, "1,024 GB"}));

struct TVersionCase {
    const char* Server;
    bool Newer;
};

void PrintTo(const TVersionCase& c, std::ostream* out)
{
    *out << '"' << c.Server << '"';
}

class VersionOrder : public testing::TestWithParam<TVersionCase> {};

TEST_P(VersionOrder, AgainstTheConfiguredVersion)
{
    EXPECT_EQ(IsOlderVersion("1.0.4.9", GetParam().Server), GetParam().Newer)
        << GetParam().Server;
}

INSTANTIATE_TEST_SUITE_P(Table, VersionOrder,
                         testing::Values(TVersionCase{"1.0.5.0", true}, TVersionCase{"1.0.4.9b", true},
                                         TVersionCase{"10.0", true}, TVersionCase{"1.0.4.9", false},
                                         TVersionCase{"1.0.4.10", false}, TVersionCase{"1.0.4", false},
                                         TVersionCase{"", false}, TVersionCase{"1.0.4.9 ", true},
                                         TVersionCase{"1.0.4.A", true}, TVersionCase{"1.0.4.a", true}));

TEST(VersionOrderText, ComparesCharacterCodesNotLetters)
{
    EXPECT_TRUE(IsOlderVersion("1.0.B", "1.0.a"));
    EXPECT_FALSE(IsOlderVersion("1.0.a", "1.0.B"));
    EXPECT_TRUE(IsOlderVersion("", "0"));
    // UTF-16 order: a character above the basic plane (a surrogate pair)
    // sorts below U+FFFD, though its code is higher.
    EXPECT_TRUE(IsOlderVersion("1.\U0001F600", "1.\uFFFD"));
}

struct TSectionCase {
    const char* Executable;
    std::vector<std::string> Arguments;
    const char* Section;
};

void PrintTo(const TSectionCase& c, std::ostream* out)
{
    *out << c.Executable << ' ' << testing::PrintToString(c.Arguments);
}

class UpdateSectionRule : public testing::TestWithParam<TSectionCase> {};

TEST_P(UpdateSectionRule, NamesTheSection)
{
    EXPECT_EQ(UpdateSectionName(GetParam().Executable, GetParam().Arguments), GetParam().Section);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UpdateSectionRule,
    testing::Values(TSectionCase{"Quorvex.exe", {}, "Quorvex"}, TSectionCase{"Foo.Bar.exe", {}, "Foo"},
                    TSectionCase{"quorvex", {"quorvex", "x.y"}, "quorvex"},
                    TSectionCase{"rundll32.exe", {"rundll32.exe", "C:\\Tools\\Upd.Lib.dll,Check"}, "Upd"},
                    TSectionCase{"rundll32.exe", {"rundll32.exe", "/opt/lib/plugin.dll"}, "plugin"},
                    TSectionCase{"rundll32.exe", {"rundll32.exe"}, ""},
                    TSectionCase{"RunDll32.exe", {"RunDll32.exe", "other.dll"}, "RunDll32"}));

struct TLengthCase {
    std::vector<std::string> Header;
    int Length;
};

void PrintTo(const TLengthCase& c, std::ostream* out)
{
    *out << testing::PrintToString(c.Header);
}

class AnnouncedLengthRule : public testing::TestWithParam<TLengthCase> {};

TEST_P(AnnouncedLengthRule, ReadsTheFirstLengthLine)
{
    EXPECT_EQ(AnnouncedLength(GetParam().Header), GetParam().Length) << testing::PrintToString(GetParam().Header);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, AnnouncedLengthRule,
    testing::Values(TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: 1234"}, 1234},
                    TLengthCase{{"HTTP/1.1 200 OK", "CONTENT-LENGTH: 7"}, 7},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length:1234"}, 0},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Type: text/plain"}, 0},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: many", "Content-Length: 5"}, 0},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: 5", "Content-Length: 9"}, 5},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: 2147483647"}, 2147483647},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: 2147483648"}, 0},
                    TLengthCase{{"HTTP/1.1 200 OK", "Content-Length: -5"}, -5}, TLengthCase{{}, 0}));

}  // namespace
}  // namespace quorvex
