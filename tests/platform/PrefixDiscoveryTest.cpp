#include "platform/wine/PrefixDiscovery.h"
#include "platform/wine/WinePrefix.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <map>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TScopedEnv;
using test::TTempFolder;

constexpr char kMessengerExe[] = "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe";
const std::string kMessengerExes[] = {kMessengerExe};

// A Wine-style prefix: the registry files, drive C: and its dosdevices link,
// and, when messengerFolder is given, a file YahooMessenger.exe in that
// folder under drive C:.
void MakePrefix(const fs::path& prefix, const std::optional<fs::path>& messengerFolder = std::nullopt)
{
    fs::create_directories(prefix / "drive_c");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    test::WriteText(prefix / "system.reg", "WINE REGISTRY Version 2\n");
    test::WriteText(prefix / "user.reg", "WINE REGISTRY Version 2\n");
    if (messengerFolder) {
        fs::create_directories(prefix / "drive_c" / *messengerFolder);
        test::WriteText(prefix / "drive_c" / *messengerFolder / "YahooMessenger.exe", "MZ");
    }
}

const fs::path kMessengerFolder = fs::path("Program Files") / "Yahoo!" / "Messenger";

// Every entry under a folder with its size and modification time, to show
// that a search wrote nothing.
std::map<fs::path, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder)
{
    std::map<fs::path, std::pair<std::uintmax_t, fs::file_time_type>> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::uintmax_t size = entry.is_regular_file() ? entry.file_size() : 0;
        entries[entry.path()] = {size, entry.symlink_status().type() == fs::file_type::symlink
                                           ? fs::file_time_type{}
                                           : entry.last_write_time()};
    }
    return entries;
}

// A fake home folder, made the process's HOME, with no XDG_DATA_HOME and no
// prefix chosen; the chosen prefix is dropped again afterwards.
class PrefixDiscovery : public ::testing::Test {
protected:
    void TearDown() override { UseWinePrefix({}); }

    fs::path Home() const { return home.Path(); }

    TTempFolder home;
    TScopedEnv homeEnv{"HOME", home.Path().string()};
    TScopedEnv dataHome{"XDG_DATA_HOME", std::nullopt};
    TScopedEnv prefixEnv{"WINEPREFIX", std::nullopt};
};

TEST_F(PrefixDiscovery, APrefixHoldsAPathWhenAFolderAtOrAboveItHoldsTheRegistryFilesAndDriveC)
{
    const fs::path outer = Home() / "outer";
    const fs::path inner = outer / "drive_c" / "inner";
    MakePrefix(outer, kMessengerFolder);
    MakePrefix(inner);
    // Registry files without drive_c, and drive_c without the registry files: not prefixes.
    fs::create_directories(outer / "drive_c" / "half" / "drive_c");
    test::WriteText(outer / "drive_c" / "regonly" / "system.reg", "");
    test::WriteText(outer / "drive_c" / "regonly" / "user.reg", "");

    const struct {
        fs::path Path;
        std::optional<fs::path> Expected;
    } cases[] = {
        {outer / "drive_c" / kMessengerFolder, outer},
        {outer / "drive_c" / kMessengerFolder / "YahooMessenger.exe", outer},
        {outer, outer},
        {outer.string() + "/drive_c/", outer},
        {outer / "drive_c" / "not" / "there" / "yet", outer},
        {inner / "drive_c" / "x", inner},
        {outer / "drive_c" / "half" / "drive_c", outer},
        {outer / "drive_c" / "regonly", outer},
        {inner / ".." / ".." / ".." / "elsewhere", std::nullopt},
        {Home() / "elsewhere", std::nullopt},
        {"drive_c/Program Files", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrefixHolding(c.Path), c.Expected) << c.Path;
}

TEST_F(PrefixDiscovery, AFolderAnotherUserOwnsIsNoPrefix)
{
    const fs::path planted = Home() / "shared";
    MakePrefix(planted / "prefix", kMessengerFolder);
    const std::vector<fs::path> parts{planted / "prefix", planted / "prefix" / "system.reg",
                                      planted / "prefix" / "user.reg", planted / "prefix" / "drive_c"};
    ASSERT_EQ(PrefixHolding(planted / "prefix" / "drive_c"), planted / "prefix");
    for (const fs::path& part : parts) {
        SCOPED_TRACE(part.string());
        if (chown(part.c_str(), getuid() + 1, static_cast<gid_t>(-1)) != 0)
            GTEST_SKIP() << "giving a file to another user needs root";
        EXPECT_EQ(PrefixHolding(planted / "prefix" / "drive_c"), std::nullopt);
        EXPECT_FALSE(IsWinePrefix(planted / "prefix"));
        ASSERT_EQ(chown(part.c_str(), getuid(), static_cast<gid_t>(-1)), 0);
    }
}

TEST_F(PrefixDiscovery, FrontEndPrefixesComeFolderByFolderInAFixedOrderAndByNameInsideOne)
{
    const fs::path data = Home() / ".local" / "share";
    const fs::path flatpak = Home() / ".var" / "app" / "com.usebottles.bottles" / "data" / "bottles" / "bottles";
    // Made in another order than the expected one.
    MakePrefix(Home() / ".PlayOnLinux" / "wineprefix" / "pol");
    MakePrefix(Home() / "Games" / "zeta");
    MakePrefix(Home() / "Games" / "Alpha");
    fs::create_directories(Home() / "Games" / "not-a-prefix" / "drive_c");
    MakePrefix(flatpak / "flat");
    MakePrefix(data / "bottles" / "bottles" / "native");
    MakePrefix(data / "wineprefixes" / "b");
    MakePrefix(data / "wineprefixes" / "a");
    test::WriteText(data / "wineprefixes" / "a-file", "");

    const std::vector<fs::path> expected{
        data / "wineprefixes" / "a", data / "wineprefixes" / "b", data / "bottles" / "bottles" / "native",
        flatpak / "flat",            Home() / "Games" / "Alpha", Home() / "Games" / "zeta",
        Home() / ".PlayOnLinux" / "wineprefix" / "pol",
    };
    EXPECT_EQ(FrontEndPrefixes(), expected);

    // The data home follows XDG_DATA_HOME.
    const fs::path otherData = Home() / "data";
    MakePrefix(otherData / "wineprefixes" / "x");
    TScopedEnv xdg("XDG_DATA_HOME", otherData.string());
    const std::vector<fs::path> withXdg{otherData / "wineprefixes" / "x", flatpak / "flat",
                                        Home() / "Games" / "Alpha", Home() / "Games" / "zeta",
                                        Home() / ".PlayOnLinux" / "wineprefix" / "pol"};
    EXPECT_EQ(FrontEndPrefixes(), withXdg);
}

TEST_F(PrefixDiscovery, StartUpChoosesTheFirstFrontEndPrefixHoldingTheMessengerAndWritesNothing)
{
    const fs::path data = Home() / ".local" / "share";
    MakePrefix(Home() / ".wine");
    MakePrefix(data / "wineprefixes" / "empty");
    // The executable found in any letter case, as Wine finds it.
    MakePrefix(data / "bottles" / "bottles" / "messenger", fs::path("program files") / "YAHOO!" / "messenger");
    MakePrefix(Home() / "Games" / "also", kMessengerFolder);
    const auto before = Snapshot(Home());

    const TPrefixChoice choice = ChooseMessengerPrefix({}, kMessengerExes);

    EXPECT_EQ(choice, (TPrefixChoice{data / "bottles" / "bottles" / "messenger", TPrefixReason::FrontEnd}));
    EXPECT_EQ(WinePrefix(), Home() / ".wine") << "chosen, not yet put in use";
    EXPECT_EQ(Snapshot(Home()), before);
}

TEST_F(PrefixDiscovery, StartUpKeepsTheGivenOrTheEnvironmentsPrefixWhenItHoldsTheMessengerOrNoneDoes)
{
    MakePrefix(Home() / "Games" / "other", kMessengerFolder);
    MakePrefix(Home() / "env", kMessengerFolder);
    MakePrefix(Home() / "given");
    {
        TScopedEnv env("WINEPREFIX", (Home() / "env").string());
        EXPECT_EQ(ChooseMessengerPrefix({}, kMessengerExes), (TPrefixChoice{Home() / "env", TPrefixReason::Environment}));
        EXPECT_EQ(ChooseMessengerPrefix(Home() / "given", kMessengerExes),
                  (TPrefixChoice{Home() / "given", TPrefixReason::Given}))
            << "a given prefix is never searched past";
    }
    // No ~/.wine, and no front-end prefix holds this file.
    const std::string elsewhere[] = {"C:\\Program Files\\Elsewhere\\YahooMessenger.exe"};
    EXPECT_EQ(ChooseMessengerPrefix({}, elsewhere),
              (TPrefixChoice{Home() / ".wine", TPrefixReason::Default, TPrefixState::Missing}));
    // The second file is looked for as well.
    const std::string either[] = {elsewhere[0], kMessengerExe};
    EXPECT_EQ(ChooseMessengerPrefix({}, either), (TPrefixChoice{Home() / "Games" / "other", TPrefixReason::FrontEnd}));
}

TEST_F(PrefixDiscovery, APrefixIsUsableMissingOrSomethingElse)
{
    MakePrefix(Home() / "prefix");
    fs::create_directories(Home() / "half" / "drive_c");
    test::WriteText(Home() / "file", "");
    fs::create_symlink(Home() / "nowhere", Home() / "dangling");
    const struct {
        fs::path Folder;
        TPrefixState Expected;
    } cases[] = {
        {Home() / "prefix", TPrefixState::Usable},
        {Home() / "missing", TPrefixState::Missing},
        {Home() / "half", TPrefixState::NotAPrefix},
        {Home() / "file", TPrefixState::NotAPrefix},
        {Home() / "dangling", TPrefixState::NotAPrefix},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrefixStateOf(c.Folder), c.Expected) << c.Folder;
}

TEST_F(PrefixDiscovery, ANativeFolderInsideAnotherPrefixChoosesItAnyOtherFolderKeepsThePrefixInUse)
{
    const fs::path first = Home() / "first";
    const fs::path second = Home() / "second";
    MakePrefix(first, kMessengerFolder);
    MakePrefix(second, kMessengerFolder);
    TScopedEnv env("WINEPREFIX", first.string());

    const struct {
        std::string Folder;
        std::optional<fs::path> Chosen;
    } cases[] = {
        {"C:\\Program Files\\Yahoo!\\Messenger", std::nullopt},
        {(first / "drive_c" / kMessengerFolder).string(), std::nullopt},
        {(Home() / "no-prefix-here").string(), std::nullopt},
        {"second/drive_c", std::nullopt},
        // Typed with Windows separators and another letter case.
        {second.string() + "/DRIVE_C\\program files\\Yahoo!\\Messenger", second},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsePrefixOfFolder(c.Folder), c.Chosen) << c.Folder;
        EXPECT_EQ(WinePrefix(), c.Chosen.value_or(first)) << c.Folder;
    }
    // Back to the environment's prefix by its native folder.
    EXPECT_EQ(UsePrefixOfFolder((first / "drive_c").string()), first);
    EXPECT_EQ(WinePrefix(), first);
}

}  // namespace
}  // namespace quorvex
