// quorvex-cli update against the update site that nginx serves on loopback
// (the ctest fixture update_peers): what it prints and its exit status for a
// newer version, none, a failed request and an information file above its
// size limit.
#include "quorvex/BuildConfig.h"
#include "tests/cli/CliRunner.h"
#include "tests/fixtures/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using ::testing::HasSubstr;

fs::path PeerFolder()
{
    const char* folder = std::getenv("QUORVEX_PEER_DIR");
    return folder != nullptr ? fs::path(folder) : fs::path();
}

class CliUpdate : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string port = ReadText(PeerFolder() / "nginx" / "port");
        ASSERT_FALSE(port.empty()) << "the peers are started by the ctest fixture update_peers (QUORVEX_PEER_DIR)";
        site_ = "http://127.0.0.1:" + port.substr(0, port.find_first_of("\r\n")) + "/" + Folder() + "/";
        fs::create_directories(Root());
        cache_.emplace("XDG_CACHE_HOME", (home_.Path() / "cache").string());
        prefix_.emplace("WINEPREFIX", (home_.Path() / "wine").string());
    }

    void TearDown() override
    {
        // No check leaves a temporary file behind.
        const fs::path temporary = home_.Path() / "cache" / "quorvex";
        EXPECT_TRUE(!fs::exists(temporary) || fs::is_empty(temporary));
    }

    static std::string Folder()
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        return std::string("cli-") + test->name();
    }
    static fs::path Root() { return PeerFolder() / "nginx" / "root" / Folder(); }
    void Serve(const std::string& name, const std::string& text) const { WriteText(Root() / name, text); }
    std::string Url(const std::string& name) const { return site_ + name; }
    TCliRun Check(const std::string& name = "QuorvexUpdate.txt") const
    {
        return RunCli({"update", "--url", Url(name)}, home_.Path());
    }

    std::string site_;
    TTempFolder home_;
    std::optional<TScopedEnv> cache_;
    std::optional<TScopedEnv> prefix_;
};

TEST_F(CliUpdate, NewerVersionPrintsItsVersionAndAddresses)
{
    const std::string newer = std::string(config::kVersion) + ".1";
    Serve("QuorvexUpdate.txt", "[quorvex]\r\nVersion=" + newer + "\r\nDownloadFileURL=" + Url("QuorvexSetup.exe")
                                   + "\r\nReadmeFileURL=" + Url("readme.txt")
                                   + "\r\nUpdatePageURL=http://quorvex.example.com/news\r\n");
    Serve("readme.txt", "What is new\r\n");
    const TCliRun run = Check();
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.OutLines(), (Lines{"Version: " + newer, "Download: " + Url("QuorvexSetup.exe"),
                                     "Readme: " + Url("readme.txt"), "Update page: http://quorvex.example.com/news"}));
    EXPECT_EQ(run.Err, "");
}

TEST_F(CliUpdate, NewerVersionWithAMissingReadmeSaysWhy)
{
    const std::string newer = std::string(config::kVersion) + "a";
    Serve("QuorvexUpdate.txt", "[Quorvex]\nVersion=" + newer + "\nReadmeFileURL=" + Url("missing.txt") + "\n");
    const TCliRun run = Check();
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.OutLines(), (Lines{"Version: " + newer, "Readme: " + Url("missing.txt"),
                                     "Update page: http://" + std::string(config::kSiteHost) + "/"}));
    EXPECT_EQ(run.Err, "Cannot read the readme " + Url("missing.txt") + ". Failed: 404 Not Found\n");
}

TEST_F(CliUpdate, NoNewerVersion)
{
    const struct {
        const char* Name;
        std::string Information;
        Lines Out;
    } cases[] = {
        {"same version", "[Quorvex]\nVersion=" + std::string(config::kVersion) + "\n",
         {"There are no new versions available.", "Update page: http://" + std::string(config::kSiteHost) + "/"}},
        {"older version", "[Quorvex]\nVersion=0\nUpdatePageURL=http://quorvex.example.com/old\n",
         {"There are no new versions available.", "Update page: http://quorvex.example.com/old"}},
        {"another program's section", "[Other]\nVersion=99\n",
         {"There are no advertised versions available.", "Update page: http://" + std::string(config::kSiteHost) + "/"}},
    };
    for (const auto& c : cases) {
        Serve("QuorvexUpdate.txt", c.Information);
        const TCliRun run = Check();
        EXPECT_EQ(run.Status, 1) << c.Name << ": " << run.Err;
        EXPECT_EQ(run.OutLines(), c.Out) << c.Name;
        EXPECT_EQ(run.Err, "") << c.Name;
    }
}

TEST_F(CliUpdate, FailedChecksEndWithTheirReason)
{
    Serve("large.txt", "[Quorvex]\nVersion=99\n" + std::string(256 * 1024, ';'));
    const struct {
        const char* Name;
        std::string File;
        std::string Error;
    } cases[] = {
        {"missing", "missing.txt", "Cannot read the update information file " + Url("missing.txt") + ". Failed: 404 Not Found"},
        {"above its size limit", "large.txt", "The update information file at " + Url("large.txt") + " is larger than 256 KB."},
    };
    for (const auto& c : cases) {
        const TCliRun run = Check(c.File);
        EXPECT_EQ(run.Status, 3) << c.Name;
        EXPECT_EQ(run.Out, "") << c.Name;
        EXPECT_THAT(run.Err, HasSubstr(c.Error)) << c.Name;
    }
}

TEST_F(CliUpdate, UsageErrors)
{
    for (const Lines& arguments : {Lines{"update", "all"}, Lines{"update", "--folder", "C:\\x"},
                                   Lines{"update", "--url"}, Lines{"update", "--json"}}) {
        const TCliRun run = RunCli(arguments, home_.Path());
        EXPECT_EQ(run.Status, 2) << arguments[1];
        EXPECT_THAT(run.Err, HasSubstr("quorvex-cli update [--url URL]")) << arguments[1];
    }
}

}  // namespace
}  // namespace quorvex::test
