#include "engine/MessengerInfo.h"
#include "platform/Error.h"
#include "tests/fixtures/TestSupport.h"
#include "tools/fakemessenger/FakeMessenger.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <span>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

std::size_t Count(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> pattern)
{
    std::size_t count = 0;
    for (auto it = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()); it != bytes.end();
         it = std::search(it + 1, bytes.end(), pattern.begin(), pattern.end()))
        ++count;
    return count;
}

TEST(FakeMessengerImage, HoldsEveryPatternWhereItsLayoutSaysAndTheMainAdvertByte)
{
    for (const char* version : {"10.0.0.1270", "11.0.0.2009", "9.0.0.2162", "8.0.0.863"}) {
        SCOPED_TRACE(version);
        TFakeMessengerOptions options;
        options.Version = version;
        const TFakeImage image = BuildFakeImage(options);
        EXPECT_EQ(image.Bytes.size(), options.ImageSize);
        EXPECT_EQ(image.Bytes[0], 'M');
        EXPECT_EQ(image.Bytes[1], 'Z');
        bool anyOdd = false, anyTwice = false;
        for (const TAdvertPatch& patch : AdvertPatches()) {
            const auto& offsets = image.Occurrences.at(patch.Advert);
            EXPECT_EQ(Count(image.Bytes, patch.Pattern), offsets.size()) << patch.Name;
            for (std::size_t offset : offsets) {
                EXPECT_TRUE(std::equal(patch.Pattern.begin(), patch.Pattern.end(), image.Bytes.begin() + static_cast<std::ptrdiff_t>(offset)));
                anyOdd = anyOdd || offset % 2 == 1;
            }
            anyTwice = anyTwice || offsets.size() >= 2;
        }
        EXPECT_TRUE(anyOdd);
        EXPECT_TRUE(anyTwice);
        EXPECT_EQ(image.Occurrences.at(TAdvert::Urls).size(), 3u);
        EXPECT_EQ(image.MainAdvertOffset, VersionOffset(version));
        if (image.MainAdvertOffset != 0) {
            EXPECT_EQ(image.Bytes[static_cast<std::size_t>(image.MainAdvertOffset)],
                      MainAdvertByte(YahooMajorVersion(version)).Expected);
        }
    }
}

TEST(FakeMessengerImage, RefusesASizeThatCannotHoldItsContent)
{
    TFakeMessengerOptions options;
    options.ImageSize = 0x1000;
    EXPECT_THROW(BuildFakeImage(options), Error);
    options.ImageSize = 0x10000;  // the patterns fit, the version's offset does not
    EXPECT_THROW(BuildFakeImage(options), Error);
    options.Version = "";
    EXPECT_EQ(BuildFakeImage(options).MainAdvertOffset, 0);
}

struct TProgramRun {
    int status = -1;
    std::string output;
};

TProgramRun RunProgram(const std::string& arguments, const fs::path& scratch)
{
    const fs::path output = scratch / "program-output";
    const std::string command =
        std::string(QUORVEX_FAKE_MESSENGER_PROGRAM) + " " + arguments + " >" + output.string() + " 2>&1";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadText(output)};
}

TEST(FakeMessengerProgram, MakesAPrefixWithTheChosenVersionArchitectureAndSettings)
{
    test::TTempFolder scratch;
    const fs::path prefix = scratch.Path() / "prefix";
    const TProgramRun run = RunProgram("'" + prefix.string() +
                                           "' --version 11.0.0.2009 --arch win64 --plural 1 --smiley-search none "
                                           "--no-run-entries --size 1500000",
                                       scratch.Path());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(fs::read_symlink(prefix / "dosdevices" / "c:"), fs::path("../drive_c"));
    const fs::path messenger = prefix / kFakeMessengerFolder;
    EXPECT_EQ(fs::file_size(messenger / "YahooMessenger.exe"), 1500000u);
    for (const char* skin : {"IMWindow", "FriendList", "ContactCard"})
        EXPECT_TRUE(fs::is_regular_file(messenger / "skins" / "Default" / skin / (std::string(skin) + ".xml"))) << skin;
    const std::string system = test::ReadText(prefix / "system.reg");
    EXPECT_NE(system.find("#arch=win64"), std::string::npos);
    EXPECT_NE(system.find("[Software\\\\Wow6432Node\\\\yahoo\\\\pager] 1700000000\n#time=1d9f2a3b4c5d6e7\n\"ProductVersion\"=\"11.0.0.2009\""),
              std::string::npos);
    const std::string user = test::ReadText(prefix / "user.reg");
    EXPECT_NE(user.find("\"Plural\"=dword:00000001"), std::string::npos);
    EXPECT_NE(user.find("\"Launch on Startup\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(user.find("SmileySearch"), std::string::npos);
    EXPECT_EQ(user.find("Yahoo! Pager"), std::string::npos);

    test::TScopedEnv usePrefix("WINEPREFIX", prefix.string());
    EXPECT_EQ(YahooVersion(), "11.0.0.2009");
}

TEST(FakeMessengerProgram, RefusesANonEmptyFolderAndBadOptions)
{
    test::TTempFolder scratch;
    test::WriteText(scratch.Path() / "user.reg", "mine");
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {"'" + scratch.Path().string() + "'", 1, "exists and is not empty"},
        {"'" + (scratch.Path() / "a").string() + "' --arch win16", 1, "unknown option --arch win16"},
        {"'" + (scratch.Path() / "b").string() + "' --size many", 1, "'many' is not a valid number"},
        {"'" + (scratch.Path() / "c").string() + "' --version", 1, "missing value after --version"},
        {"", 2, "usage: quorvex-fake-messenger PREFIX"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const TProgramRun run = RunProgram(c.arguments, scratch.Path());
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
    EXPECT_EQ(test::ReadText(scratch.Path() / "user.reg"), "mine");
    EXPECT_FALSE(fs::exists(scratch.Path() / "a"));
}

}  // namespace
}  // namespace quorvex
