// The archive packer, run as the build runs it, on catalogue lists of its own.
#include "archive/mxStorage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <utility>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

class Packer : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvex-packer-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream file(folder_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // Runs the packer on list.txt for a system; returns its exit status and
    // keeps its output.
    int Run(const std::string& system = "linux")
    {
        const std::string command = std::string("'") + QUORVEX_PACKER + "' '" + (folder_ / "list.txt").string() + "' '"
                                    + (folder_ / "out.cpp").string() + "' '" + system + "' 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        output_.clear();
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            output_ += static_cast<char>(c);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The stored form held by the generated source's byte array.
    std::vector<std::uint8_t> GeneratedForm() const
    {
        const std::string source = Read("out.cpp");
        std::vector<std::uint8_t> form;
        const std::regex byte("0x([0-9a-f]{2}),");
        for (auto it = std::sregex_iterator(source.begin(), source.end(), byte); it != std::sregex_iterator(); ++it)
            form.push_back(static_cast<std::uint8_t>(std::stoi((*it)[1].str(), nullptr, 16)));
        return form;
    }

    // The file name and content of the generated catalogue's only item.
    std::pair<std::string, std::string> OnlyItem() const
    {
        TmxStorage storage;
        storage.LoadFromStoredForm(GeneratedForm());
        EXPECT_EQ(storage.StoredItems().Count(), 1);
        TMemoryStream out;
        storage.ItemByIndex(0).SaveToStream(&out);
        return {storage.ItemByIndex(0).FileName(), {out.Bytes().begin(), out.Bytes().end()}};
    }

    fs::path folder_;
    std::string output_;
};

TEST_F(Packer, StoresEveryListedFileAtClMaxInListOrder)
{
    Write("a.xml", "<a/>\r\n");
    Write("b.jpg", std::string(5000, 'b'));
    Write("list.txt", "# comment\n\nmxFirst b.jpg\nmxSecond a.xml\n");
    ASSERT_EQ(Run(), 0) << output_;
    EXPECT_NE(Read("out.cpp").find("std::span<const std::uint8_t> StoredCatalogue()"), std::string::npos);

    TmxStorage storage;
    storage.LoadFromStoredForm(GeneratedForm());
    ASSERT_EQ(storage.StoredItems().Count(), 2);
    const char* expected[][3] = {{"mxFirst", "b.jpg", "b"}, {"mxSecond", "a.xml", "a"}};
    for (int i = 0; i < 2; ++i) {
        TmxStoredItem& item = storage.ItemByIndex(i);
        EXPECT_EQ(item.Name(), expected[i][0]);
        EXPECT_EQ(item.FileName(), expected[i][1]);
        EXPECT_EQ(item.Compression(), TCompressionLevel::clMax);
        TMemoryStream out;
        item.SaveToStream(&out);
        EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), Read(expected[i][1]));
    }
}

TEST_F(Packer, TakesAFileOfAFolderBelowTheListsUnderItsOwnName)
{
    fs::create_directories(folder_ / "windows");
    Write("help.html", "<p>Linux</p>");
    Write("windows/help.html", "<p>Windows</p>");
    Write("list.txt", "mxHelp windows/help.html\n");
    ASSERT_EQ(Run(), 0) << output_;

    TmxStorage storage;
    storage.LoadFromStoredForm(GeneratedForm());
    ASSERT_EQ(storage.StoredItems().Count(), 1);
    TmxStoredItem& item = storage.ItemByIndex(0);
    EXPECT_EQ(item.FileName(), "help.html");
    TMemoryStream out;
    item.SaveToStream(&out);
    EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "<p>Windows</p>");
}

struct BadList {
    const char* what;
    const char* list;
    const char* message;
};

TEST_F(Packer, RejectsABadListWithoutWritingAnything)
{
    Write("a.xml", "<a/>");
    const BadList cases[] = {
        {"one field", "mxA a.xml\nmxB\n", "list.txt:2: expected \"Name FileName\""},
        {"a third field other than passages", "mxA a.xml extra\n", "list.txt:1: expected \"Name FileName\""},
        {"four fields", "mxA a.xml passages extra\n", "list.txt:1: expected \"Name FileName\""},
        {"a file above the list's folder", "mxA ../a.xml\n", "list.txt:1: expected \"Name FileName\""},
        {"a step up inside the path", "mxA sub/../a.xml\n", "list.txt:1: expected \"Name FileName\""},
        {"a path from the root", "mxA /a.xml\n", "list.txt:1: expected \"Name FileName\""},
        {"a Windows separator", "mxA sub\\a.xml\n", "list.txt:1: expected \"Name FileName\""},
        {"a folder, not a file", "mxA sub/\n", "list.txt:1: expected \"Name FileName\""},
        {"a missing file", "mxA missing.xml\n", "list.txt:1: Cannot open file"},
        {"a duplicated name", "mxA a.xml\nMXA a.xml\n", "list.txt:2: Duplicated stored item name"},
    };
    for (const BadList& bad : cases) {
        SCOPED_TRACE(bad.what);
        Write("list.txt", bad.list);
        EXPECT_EQ(Run(), 1);
        EXPECT_NE(output_.find(bad.message), std::string::npos) << output_;
        EXPECT_FALSE(fs::exists(folder_ / "out.cpp"));
    }
}

// A document for both systems, with line ends of both kinds: each system's
// item holds the shared lines and its own passages, byte for byte.
constexpr const char* kTwoSystemDocument =
    "<p>Shared head</p>\r\n"
    "<!--only linux-->\r\n"
    "<p>Wine prefix</p>\r\n"
    "<!--only windows-->\r\n"
    "<p>Windows</p>\r\n"
    "<p>Run as administrator</p>\r\n"
    "<!--end only-->\r\n"
    "<p>Shared middle</p>\n"
    "<!--only windows-->\n"
    "<p>Windows only again</p>\n"
    "<!--end only-->\n"
    "<p>Shared tail without a line end</p>";

TEST_F(Packer, PassagesKeepTheSharedLinesAndTheSystemsOwn)
{
    fs::create_directories(folder_ / "both");
    Write("both/doc.html", kTwoSystemDocument);
    Write("list.txt", "mxHelp both/doc.html passages\n");
    const char* expected[][2] = {
        {"linux",
         "<p>Shared head</p>\r\n<p>Wine prefix</p>\r\n<p>Shared middle</p>\n<p>Shared tail without a line end</p>"},
        {"windows",
         "<p>Shared head</p>\r\n<p>Windows</p>\r\n<p>Run as administrator</p>\r\n<p>Shared middle</p>\n"
         "<p>Windows only again</p>\n<p>Shared tail without a line end</p>"},
    };
    for (const auto& [system, document] : expected) {
        SCOPED_TRACE(system);
        ASSERT_EQ(Run(system), 0) << output_;
        EXPECT_EQ(OnlyItem(), std::make_pair(std::string("doc.html"), std::string(document)));
    }
}

TEST_F(Packer, AFileNotMarkedPassagesIsStoredWithItsMarkerLines)
{
    Write("doc.html", kTwoSystemDocument);
    Write("list.txt", "mxHelp doc.html\n");
    ASSERT_EQ(Run("windows"), 0) << output_;
    EXPECT_EQ(OnlyItem().second, kTwoSystemDocument);
}

TEST_F(Packer, RefusesAnUnknownSystemWithItsUsage)
{
    Write("a.xml", "<a/>");
    Write("list.txt", "mxA a.xml\n");
    for (const char* system : {"", "macos", "Linux"}) {
        SCOPED_TRACE(system);
        EXPECT_EQ(Run(system), 2);
        EXPECT_NE(output_.find("usage: quorvex_packer"), std::string::npos) << output_;
        EXPECT_FALSE(fs::exists(folder_ / "out.cpp"));
    }
}

struct BadDocument {
    const char* what;
    const char* document;
    const char* message;
};

TEST_F(Packer, RejectsPassageMarkersItCannotFollowNamingTheirLine)
{
    const BadDocument cases[] = {
        {"an unknown system", "a\n<!--only macos-->\nb\n<!--end only-->\n",
         "list.txt:1: doc.html:2: a passage for the unknown system \"macos\""},
        {"an end without a passage", "a\r\n<!--end only-->\r\n",
         "list.txt:1: doc.html:2: \"<!--end only-->\" without a passage to end"},
        {"the same system twice in a row", "<!--only linux-->\na\n<!--only linux-->\nb\n<!--end only-->\n",
         "list.txt:1: doc.html:3: a passage for linux inside one for linux"},
        {"a passage left open", "a\n<!--only windows-->\nb\n",
         "list.txt:1: doc.html:2: the passage for windows has no \"<!--end only-->\""},
        {"a passage left open after another", "<!--only linux-->\na\n<!--only windows-->\nb",
         "list.txt:1: doc.html:3: the passage for windows has no \"<!--end only-->\""},
    };
    Write("list.txt", "mxHelp doc.html passages\n");
    for (const BadDocument& bad : cases) {
        SCOPED_TRACE(bad.what);
        Write("doc.html", bad.document);
        for (const char* system : {"linux", "windows"}) {
            EXPECT_EQ(Run(system), 1);
            EXPECT_NE(output_.find(bad.message), std::string::npos) << output_;
            EXPECT_FALSE(fs::exists(folder_ / "out.cpp"));
        }
    }
}

}  // namespace
}  // namespace quorvex
