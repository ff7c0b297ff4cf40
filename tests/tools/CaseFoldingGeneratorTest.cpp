// The case folding table generator, run as the "casefolding" target runs it.
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

int Generate(const fs::path& input, const fs::path& output)
{
    const std::string command = std::string("'") + QUORVEX_CASEFOLDING_PROGRAM + "' '" + input.string() + "' '" +
                                output.string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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
    ASSERT_EQ(Generate(folder.Path() / "CaseFolding.txt", folder.Path() / "table.cpp"), 0);
    const std::string table = test::ReadText(folder.Path() / "table.cpp");
    EXPECT_NE(table.find("        {0x00041, 0x00042, 32, 1},\n"
                         "        {0x00100, 0x00104, 1, 2},\n"
                         "        {0x01E9E, 0x01E9E, -7615, 1},\n"
                         "    };\n"),
              std::string::npos)
        << table;

    for (const char* bad : {"0041 C 0061\n", "00G1; C; 0061;\n"}) {
        SCOPED_TRACE(bad);
        test::WriteText(folder.Path() / "bad.txt", bad);
        EXPECT_NE(Generate(folder.Path() / "bad.txt", folder.Path() / "bad.cpp"), 0);
    }
    EXPECT_NE(Generate(folder.Path() / "missing.txt", folder.Path() / "missing.cpp"), 0);
}

TEST(CaseFoldingGenerator, TheCommittedTableIsTheOneTheUnicodeDataGives)
{
    const fs::path data = "/usr/share/unicode/CaseFolding.txt";
    if (!fs::exists(data))
        GTEST_SKIP() << data << " is missing (Debian's unicode-data)";
    test::TTempFolder folder;
    ASSERT_EQ(Generate(data, folder.Path() / "table.cpp"), 0);
    EXPECT_EQ(test::ReadText(folder.Path() / "table.cpp"),
              test::ReadText(fs::path(QUORVEX_SOURCE_DIR) / "platform" / "CaseFoldingTable.cpp"));
}

}  // namespace
}  // namespace quorvex
