// The case table generator, run as the "casefolding" target runs it.
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// The two tables written into folder (folding.cpp, registry.cpp).
int Generate(const fs::path& caseFolding, const fs::path& unicodeData, const fs::path& folder)
{
    std::string command = std::string("'") + QUORVEX_CASEFOLDING_PROGRAM + "'";
    for (const fs::path& argument : {caseFolding, unicodeData, folder / "folding.cpp", folder / "registry.cpp"})
        command += " '" + argument.string() + "'";
    const int status = std::system((command + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Letters as the Unicode character database lists them: code, name, ...,
// simple upper case (field 12), simple lower case (13), title case (14).
constexpr char kUnicodeData[] =
    "0041;LATIN CAPITAL LETTER A;Lu;0;L;;;;;N;;;;0061;\n"
    "0042;LATIN CAPITAL LETTER B;Lu;0;L;;;;;N;;;;0062;\n"
    "004B;LATIN CAPITAL LETTER K;Lu;0;L;;;;;N;;;;006B;\n"
    "0061;LATIN SMALL LETTER A;Ll;0;L;;;;;N;;;0041;;0041\n"
    "0062;LATIN SMALL LETTER B;Ll;0;L;;;;;N;;;0042;;0042\n"
    "006B;LATIN SMALL LETTER K;Ll;0;L;;;;;N;;;004B;;004B\n"
    "00DF;LATIN SMALL LETTER SHARP S;Ll;0;L;;;;;N;;;;;\n"
    "01C4;LATIN CAPITAL LETTER DZ WITH CARON;Lu;0;L;<compat> 0044 017D;;;;N;;;;01C6;01C5\n"
    "01C5;LATIN CAPITAL LETTER D WITH SMALL LETTER Z WITH CARON;Lt;0;L;<compat> 0044 017E;;;;N;;;01C4;01C6;01C5\n"
    "01C6;LATIN SMALL LETTER DZ WITH CARON;Ll;0;L;<compat> 0064 017E;;;;N;;;01C4;;01C5\n"
    "1E9E;LATIN CAPITAL LETTER SHARP S;Lu;0;L;;;;;N;;;;00DF;\n"
    "212A;KELVIN SIGN;Lu;0;L;004B;;;;N;DEGREES KELVIN;;;006B;\n"
    "10400;DESERET CAPITAL LETTER LONG I;Lu;0;L;;;;;N;;;;10428;\n"
    "10428;DESERET SMALL LETTER LONG I;Ll;0;L;;;;;N;;;10400;;10400\n";

TEST(CaseFoldingGenerator, KeepsTheSimpleMappingsPackedInRuns)
{
    test::TTempFolder folder;
    test::WriteText(folder.Path() / "CaseFolding.txt",
                    "# a comment\n"
                    "\n"
                    "0041; C; 0061; # LATIN CAPITAL LETTER A\n"
                    "0042; C; 0062; # LATIN CAPITAL LETTER B\n"
                    "00DF; F; 0073 0073; # LATIN SMALL LETTER SHARP S\n"
                    "0100; C; 0101; # LATIN CAPITAL LETTER A WITH MACRON\n"
                    "0102; C; 0103; # LATIN CAPITAL LETTER A WITH BREVE\n"
                    "0104; C; 0105; # LATIN CAPITAL LETTER A WITH OGONEK\n"
                    "0130; T; 0069; # LATIN CAPITAL LETTER I WITH DOT ABOVE\n"
                    "1E9E; F; 0073 0073; # LATIN CAPITAL LETTER SHARP S\n"
                    "1E9E; S; 00DF; # LATIN CAPITAL LETTER SHARP S\n");
    test::WriteText(folder.Path() / "UnicodeData.txt", kUnicodeData);
    ASSERT_EQ(Generate(folder.Path() / "CaseFolding.txt", folder.Path() / "UnicodeData.txt", folder.Path()), 0);
    const std::string table = test::ReadText(folder.Path() / "folding.cpp");
    EXPECT_NE(table.find("        {0x00041, 0x00042, 32, 1},\n"
                         "        {0x00100, 0x00104, 1, 2},\n"
                         "        {0x01E9E, 0x01E9E, -7615, 1},\n"
                         "    };\n"),
              std::string::npos)
        << table;

    for (const char* bad : {"0041 C 0061\n", "00G1; C; 0061;\n"}) {
        SCOPED_TRACE(bad);
        test::WriteText(folder.Path() / "bad.txt", bad);
        EXPECT_NE(Generate(folder.Path() / "bad.txt", folder.Path() / "UnicodeData.txt", folder.Path()), 0);
    }
    EXPECT_NE(Generate(folder.Path() / "missing.txt", folder.Path() / "UnicodeData.txt", folder.Path()), 0);
}

// Only pairs whose upper and lower case lead to each other, in the 16-bit
// range: not the Kelvin sign, the title-case Dz, the capital sharp s (sharp
// s has no simple upper case) nor Deseret.
TEST(CaseFoldingGenerator, KeepsTheRegistrysLetterPairsPackedInRuns)
{
    test::TTempFolder folder;
    test::WriteText(folder.Path() / "CaseFolding.txt", "0041; C; 0061; # LATIN CAPITAL LETTER A\n");
    test::WriteText(folder.Path() / "UnicodeData.txt", kUnicodeData);
    ASSERT_EQ(Generate(folder.Path() / "CaseFolding.txt", folder.Path() / "UnicodeData.txt", folder.Path()), 0);
    const std::string table = test::ReadText(folder.Path() / "registry.cpp");
    EXPECT_NE(table.find("std::span<const TCaseFoldRun> RegistryCaseRuns()\n"
                         "{\n"
                         "    static constexpr TCaseFoldRun kRuns[] = {\n"
                         "        {0x00041, 0x00042, 32, 1},\n"
                         "        {0x0004B, 0x0004B, 32, 1},\n"
                         "        {0x001C4, 0x001C4, 2, 1},\n"
                         "    };\n"),
              std::string::npos)
        << table;

    for (const char* bad : {"0041;LATIN CAPITAL LETTER A;Lu\n", "00G1;X;Lu;0;L;;;;;N;;;;0061;\n"}) {
        SCOPED_TRACE(bad);
        test::WriteText(folder.Path() / "bad.txt", bad);
        EXPECT_NE(Generate(folder.Path() / "CaseFolding.txt", folder.Path() / "bad.txt", folder.Path()), 0);
    }
    EXPECT_NE(Generate(folder.Path() / "CaseFolding.txt", folder.Path() / "missing.txt", folder.Path()), 0);
}

TEST(CaseFoldingGenerator, TheCommittedTablesAreTheOnesTheUnicodeDataGives)
{
    const fs::path caseFolding = "/usr/share/unicode/CaseFolding.txt";
    const fs::path unicodeData = "/usr/share/unicode/UnicodeData.txt";
    if (!fs::exists(caseFolding) || !fs::exists(unicodeData))
        GTEST_SKIP() << "the Unicode character database is missing (Debian's unicode-data)";
    test::TTempFolder folder;
    ASSERT_EQ(Generate(caseFolding, unicodeData, folder.Path()), 0);
    const fs::path backend = fs::path(QUORVEX_SOURCE_DIR) / "platform" / "wine";
    EXPECT_EQ(test::ReadText(folder.Path() / "folding.cpp"), test::ReadText(backend / "CaseFoldingTable.cpp"));
    EXPECT_EQ(test::ReadText(folder.Path() / "registry.cpp"), test::ReadText(backend / "RegistryCaseTable.cpp"));
}

}  // namespace
}  // namespace quorvex
