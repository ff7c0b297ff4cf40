// The archive packer, run as the build runs it, on catalogue lists of its own.
#include "archive/mxStorage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

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

    // Runs the packer on list.txt; returns its exit status and keeps its output.
    int Run()
    {
        const std::string command = std::string("'") + QUORVEX_PACKER + "' '" + (folder_ / "list.txt").string() + "' '"
                                    + (folder_ / "out.cpp").string() + "' 2>&1";
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
        {"three fields", "mxA a.xml extra\n", "list.txt:1: expected \"Name FileName\""},
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

}  // namespace
}  // namespace quorvex
