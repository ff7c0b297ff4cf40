// The advert options apply on the synthetic messenger: the status lines in
// step order, the executable byte for byte, the backup, the skin and HTML
// files, the registry, and what an error in the middle leaves behind.
#include "engine/AdvertPatches.h"
#include "engine/MessengerInfo.h"
#include "platform/Error.h"
#include "tests/fixtures/ReflinkMount.h"
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/Workflows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

constexpr int kAdvertOptions = 9;

// The executable after the first occurrence of each advert was replaced and,
// with a main advert offset, that byte flipped as for a version 10 messenger.
std::vector<std::uint8_t> Patched(const TFakeImage& image, std::initializer_list<TAdvert> adverts,
                                  std::size_t mainAdvertOffset = 0)
{
    std::vector<std::uint8_t> bytes = image.Bytes;
    for (TAdvert advert : adverts) {
        const std::size_t at = image.Occurrences.at(advert).front();
        std::ranges::copy(AdvertPatch(advert).Replacement, bytes.begin() + static_cast<std::ptrdiff_t>(at));
    }
    if (mainAdvertOffset != 0) {
        EXPECT_EQ(bytes[mainAdvertOffset], 0x57);
        bytes[mainAdvertOffset] = 0x56;
    }
    return bytes;
}

std::vector<std::string> Completion()
{
    return {"refresh", "untick", "status: Applying Options Complete", "progress: paused", "close button: on"};
}

std::vector<std::string> Journal(const std::vector<std::string>& lines)
{
    std::vector<std::string> journal = {"close button: off", "show"};
    for (const std::string& line : lines)
        journal.push_back("line: " + line);
    for (const std::string& entry : Completion())
        journal.push_back(entry);
    return journal;
}

class AdvertApply : public WorkflowTest {
public:
    void Apply(const std::vector<int>& rows)
    {
        host.Tick(kAdvertOptions, rows);
        host.Journal.clear();
        ApplyAdvertOptions(engine, storage, host);
    }

    std::vector<std::uint8_t> Executable() const { return ReadBytes(prefix.Executable()); }
};

TEST_F(AdvertApply, AllNineOptionsOnAnUnpatchedVersion10Messenger)
{
    Apply({0, 1, 2, 3, 4, 5, 6, 7, 8});

    EXPECT_EQ(host.Journal, Journal({
                                "Yahoo Messenger Backup: Successfully Created",
                                "Main Messenger Advert: Successfully Patched",
                                "Change Room Banner: Successfully Patched",
                                "Chat Room Advert: Successfully Patched",
                                "Webcam Viewer Ad: Successfully Patched",
                                "Webcam Viewer Ad Medium: Successfully Patched",
                                "Webcam Viewer Ad Big: Successfully Patched",
                                "Webcam Upload Ad: Successfully Patched",
                                "Video Call Advert: Successfully Patched",
                                "IM Statusbar Advert: Successfully Removed",
                                "Urls: Successfully Patched",
                                "HTML Replacement File: Successfully Saved",
                                "Save: Successfully saved changes to Yahoo Messenger",
                                "Multiple Instances: Successfully Enabled",
                                "Auto Start: Successfully Disabled",
                                "Smiley Search: Successfully Disabled",
                            }));

    // The backup is the executable as it was; the executable differs from it
    // in exactly the patched bytes.
    const std::vector<std::uint8_t> expected =
        Patched(prefix.Image,
                {TAdvert::ChangeBanner, TAdvert::ChatAdvert, TAdvert::RegCam, TAdvert::MedCam, TAdvert::BigCam,
                 TAdvert::UpCam, TAdvert::VidAd, TAdvert::Urls},
                static_cast<std::size_t>(VersionOffset("10.0.0.1270")));
    const std::vector<std::uint8_t> backup = ReadBytes(Backup());
    EXPECT_TRUE(backup == prefix.Image.Bytes);
    EXPECT_EQ(DifferingRuns(backup, Executable()), DifferingRuns(prefix.Image.Bytes, expected));
    EXPECT_TRUE(Executable() == expected);

    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(7));
    EXPECT_EQ(ReadText(HtmlReplacement()),
              "<html><body bgcolor=\"#996633\" style=\"overflow: hidden;\"></body></html>\r\n");
    EXPECT_TRUE(engine.CheckMulti());
    EXPECT_FALSE(engine.CheckAuto());
    EXPECT_FALSE(engine.CheckSmiley());

    EXPECT_FALSE(host.AnyTicked());
    EXPECT_FALSE(engine.YahooLoaded);
    EXPECT_EQ(engine.Image().Size(), 0u);
    EXPECT_EQ(engine.YahooMessengerPath, kMessengerFolder);
}

// Each apply patches one more "urls" while the executable holds one; once
// none is left nothing counts and nothing is saved.
TEST_F(AdvertApply, AnotherApplyOfTheSamePatchesSavesOnlyWhileUrlsFindsMore)
{
    const std::vector<std::size_t>& urls = prefix.Image.Occurrences.at(TAdvert::Urls);
    ASSERT_EQ(urls.size(), 3u);
    Apply({0, 1});
    std::vector<std::uint8_t> before = Executable();

    for (std::size_t run = 1; run <= urls.size(); ++run) {
        SCOPED_TRACE("apply " + std::to_string(run + 1));
        Apply({0, 1});
        const bool urlsLeft = run < urls.size();
        std::vector<std::string> lines = {"Yahoo Messenger Backup: Successfully Kept",
                                          "Main Messenger Advert: Already Patched",
                                          "Change Room Banner: Not Found or Already Patched",
                                          urlsLeft ? "Urls: Successfully Patched" : "Urls: Not Found or Already Patched",
                                          "HTML Replacement File: Already Exists"};
        if (urlsLeft)
            lines.push_back("Save: Successfully saved changes to Yahoo Messenger");
        EXPECT_EQ(host.Journal, Journal(lines));

        EXPECT_TRUE(ReadBytes(Backup()) == prefix.Image.Bytes) << "the backup stays the original";
        std::vector<std::uint8_t> expected = before;
        if (urlsLeft) {
            const auto at = expected.begin() + static_cast<std::ptrdiff_t>(urls[run]);
            std::ranges::copy(AdvertPatch(TAdvert::Urls).Replacement, at);
        }
        const std::vector<std::uint8_t> after = Executable();
        EXPECT_EQ(DifferingRuns(expected, after), (std::vector<std::pair<std::size_t, std::size_t>>{}));
        before = after;
    }
}

// The backup stays the messenger's original while the executable differs
// from it only by advert patches, and a clean then gives the original back;
// a messenger updated in between is backed up afresh.
TEST_F(AdvertApply, LaterAppliesKeepTheOriginalBackupUntilTheMessengerChanges)
{
    const std::vector<std::uint8_t> original = prefix.Image.Bytes;
    Apply({1});
    ASSERT_EQ(host.Lines().front(), "Yahoo Messenger Backup: Successfully Created");

    Apply({0, 3});
    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Kept",
                                                      "Main Messenger Advert: Successfully Patched",
                                                      "Webcam Viewer Ad: Successfully Patched",
                                                      "Webcam Viewer Ad Medium: Successfully Patched",
                                                      "Webcam Viewer Ad Big: Successfully Patched",
                                                      "Webcam Upload Ad: Successfully Patched",
                                                      "Urls: Successfully Patched",
                                                      "HTML Replacement File: Already Exists",
                                                      "Save: Successfully saved changes to Yahoo Messenger"}));
    EXPECT_TRUE(ReadBytes(Backup()) == original);
    ASSERT_FALSE(Executable() == original);

    host.Tick(3, {0});
    CleanAndRestore(engine, storage, host);
    EXPECT_TRUE(Executable() == original);
    EXPECT_FALSE(fs::exists(Backup()));

    // Patched, then updated: the new messenger's executable is the backup.
    Apply({1});
    TFakeMessengerOptions updated;
    updated.Seed = 7;
    Install(updated);
    ASSERT_FALSE(prefix.Image.Bytes == original);
    Apply({2});
    EXPECT_EQ(host.Lines().front(), "Yahoo Messenger Backup: Successfully Created");
    EXPECT_TRUE(ReadBytes(Backup()) == prefix.Image.Bytes);
    host.Tick(3, {0});
    CleanAndRestore(engine, storage, host);
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
}

TEST_F(AdvertApply, TheStatusBarOptionAloneOnlyWritesItsSkin)
{
    Apply({5});

    EXPECT_EQ(host.Journal, Journal({"IM Statusbar Advert: Successfully Removed"}));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(7));
    EXPECT_FALSE(fs::exists(Backup()));
    EXPECT_FALSE(fs::exists(HtmlReplacement()));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
}

struct TSettingsCase {
    const char* Name;
    TFakeMessengerOptions Registry;
    std::vector<std::string> Lines;
    bool MultiAfter, AutoAfter, SmileyAfter;
};

class AdvertApplySettings : public AdvertApply, public ::testing::WithParamInterface<TSettingsCase> {};

TEST_P(AdvertApplySettings, OptionsSixToEightOnlySwitchTheRegistrySettings)
{
    Install(GetParam().Registry);
    const fs::file_time_type written = fs::last_write_time(prefix.Executable());

    Apply({6, 7, 8});

    EXPECT_EQ(host.Journal, Journal(GetParam().Lines));
    EXPECT_EQ(engine.CheckMulti(), GetParam().MultiAfter);
    EXPECT_EQ(engine.CheckAuto(), GetParam().AutoAfter);
    EXPECT_EQ(engine.CheckSmiley(), GetParam().SmileyAfter);
    EXPECT_FALSE(fs::exists(Backup()));
    EXPECT_EQ(fs::last_write_time(prefix.Executable()), written) << "not saved";
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, AdvertApplySettings,
    ::testing::Values(
        TSettingsCase{"AllOffButStartUp", {},
                      {"Multiple Instances: Successfully Enabled", "Auto Start: Successfully Disabled",
                       "Smiley Search: Successfully Disabled"},
                      true, false, false},
        TSettingsCase{"PluralOnSmileyOffNoRunEntries",
                      {.LaunchOnStartup = 1, .SmileySearch = std::nullopt, .Plural = 1, .RunEntries = false},
                      {"Multiple Instances: Successfully Disabled", "Auto Start: Unable to Disable",
                       "Smiley Search: Successfully Enabled"},
                      false, false, true},
        TSettingsCase{"NegativeValuesCountAsOff",
                      {.LaunchOnStartup = std::nullopt, .SmileySearch = -1, .Plural = -1},
                      {"Multiple Instances: Successfully Enabled", "Auto Start: Successfully Disabled",
                       "Smiley Search: Successfully Enabled"},
                      true, false, true},
        TSettingsCase{"MissingTestKeyWritesNoMultipleInstancesLine",
                      {.LaunchOnStartup = std::nullopt, .Plural = std::nullopt, .TestKey = false, .RunEntries = false},
                      {"Auto Start: Unable to Disable", "Smiley Search: Successfully Disabled"},
                      false, false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AdvertApply, AVersionMissingFromTheOffsetTableLeavesTheMainAdvertAlone)
{
    TFakeMessengerOptions unlisted;
    unlisted.Version = "10.0.0.9999";
    Install(unlisted);
    Apply({0});

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Created",
                                                      "Main Messenger Advert: Already Patched",
                                                      "Urls: Successfully Patched",
                                                      "Save: Successfully saved changes to Yahoo Messenger"}));
    EXPECT_TRUE(Executable() == Patched(prefix.Image, {TAdvert::Urls}));
}

struct THtmlCase {
    const char* Name;
    std::vector<int> Rows;
    bool Present;            // the HTML replacement file exists before the apply
    const char* Line;        // nullptr: no line about it
};

class AdvertApplyHtml : public AdvertApply, public ::testing::WithParamInterface<THtmlCase> {};

TEST_P(AdvertApplyHtml, TheHtmlReplacementFileIsWrittenOnlyWhenMissingAndOnlyForOptionsOneAndThree)
{
    const std::string earlier = "<html><body bgcolor=\"#0F0F0F\"></body></html>\r\n";
    if (GetParam().Present)
        WriteText(HtmlReplacement(), earlier);

    Apply(GetParam().Rows);

    const std::vector<std::string> lines = host.Lines();
    const auto htmlLines = std::ranges::count_if(lines, [](const std::string& l) { return l.starts_with("HTML"); });
    if (GetParam().Line == nullptr) {
        EXPECT_EQ(htmlLines, 0);
        EXPECT_FALSE(fs::exists(HtmlReplacement()));
        return;
    }
    EXPECT_EQ(htmlLines, 1);
    EXPECT_TRUE(host.Has(std::string("line: ") + GetParam().Line));
    EXPECT_EQ(ReadText(HtmlReplacement()),
              GetParam().Present ? earlier
                                 : "<html><body bgcolor=\"#996633\" style=\"overflow: hidden;\"></body></html>\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, AdvertApplyHtml,
    ::testing::Values(THtmlCase{"ChangeRoomBanner", {1}, false, "HTML Replacement File: Successfully Saved"},
                      THtmlCase{"Webcams", {3}, false, "HTML Replacement File: Successfully Saved"},
                      THtmlCase{"AlreadyThere", {1, 3}, true, "HTML Replacement File: Already Exists"},
                      THtmlCase{"ChatRoomAlone", {2}, false, nullptr},
                      THtmlCase{"VideoCallAlone", {4}, false, nullptr},
                      THtmlCase{"MainAdvertAlone", {0}, false, nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AdvertApply, AnExecutableThatCannotBeReplacedIsReportedAndTheApplyStillCompletes)
{
    fs::permissions(prefix.Executable(), fs::perms::owner_read | fs::perms::group_read);  // read-only

    Apply({1});

    EXPECT_EQ(host.Journal, Journal({"Yahoo Messenger Backup: Successfully Created",
                                     "Change Room Banner: Successfully Patched", "Urls: Successfully Patched",
                                     "HTML Replacement File: Successfully Saved",
                                     "Save: Cannot save, Yahoo Messenger is being used by another program"}));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
    EXPECT_FALSE(engine.YahooLoaded);
}

TEST_F(AdvertApply, AFolderWithATrailingBackslashWorksThroughTheDoubledSeparator)
{
    host.Folder = std::string(kMessengerFolder) + "\\";

    Apply({1, 5});

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Created",
                                                      "Change Room Banner: Successfully Patched",
                                                      "IM Statusbar Advert: Successfully Removed",
                                                      "Urls: Successfully Patched",
                                                      "HTML Replacement File: Successfully Saved",
                                                      "Save: Successfully saved changes to Yahoo Messenger"}));
    EXPECT_EQ(engine.YahooMessengerPath, host.Folder);
    EXPECT_TRUE(Executable() == Patched(prefix.Image, {TAdvert::ChangeBanner, TAdvert::Urls}));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(7));
}

// ---- errors in the middle of an apply --------------------------------------

struct TErrorCase {
    const char* Name;
    std::vector<int> Rows;
    void (*Arrange)(AdvertApply& test);
    const char* Starts;                // the start of the error's message
    const char* Names;                 // a text the message holds
    std::vector<std::string> Journal;  // everything before the error
    bool Saved;
};

class AdvertApplyErrors : public AdvertApply, public ::testing::WithParamInterface<TErrorCase> {};

TEST_P(AdvertApplyErrors, EndTheApplyWhereTheyHappenAndLeaveTheTicksAndTheLines)
{
    const TErrorCase& c = GetParam();
    c.Arrange(*this);
    host.Tick(kAdvertOptions, c.Rows);
    const std::vector<bool> ticks = host.Ticks;

    try {
        ApplyAdvertOptions(engine, storage, host);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        const std::string message = error.what();
        EXPECT_TRUE(message.starts_with(c.Starts)) << message;
        EXPECT_NE(message.find(c.Names), std::string::npos) << message;
    }

    EXPECT_EQ(host.Journal, c.Journal);
    EXPECT_EQ(host.Ticks, ticks);
    const bool loaded = c.Journal.size() > 1;
    EXPECT_EQ(engine.YahooLoaded, loaded) << "the image stays loaded after a failure past the load";
    if (!c.Saved && loaded) {
        EXPECT_TRUE(ReadBytes(prefix.Executable()) == prefix.Image.Bytes);
    }
}

void PutUnreadableExecutable(AdvertApply& test)
{
    // Exists as a file but cannot be read, as a locked executable on Windows
    // (reading the process's own memory at offset 0 fails, even for root).
    const fs::path executable = test.prefix.Executable();
    fs::remove(executable);
    fs::create_symlink("/proc/self/mem", executable);
}

void PutFolderAsBackup(AdvertApply& test)
{
    fs::create_directory(test.Backup());
}

void RemoveIMWindowFolder(AdvertApply& test)
{
    fs::remove_all(test.Skin("IMWindow").parent_path());
}

void PutFolderAsHtmlReplacement(AdvertApply& test)
{
    fs::create_directory(test.DriveC() / "BlankQuorvex.html");
}

void PutStringPlural(AdvertApply& test)
{
    const fs::path user = test.prefix.Path() / "user.reg";
    WriteText(user, Replaced(ReadText(user), "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n",
                             "[Software\\\\yahoo\\\\pager\\\\Test] 1700000000\n#time=1d9f2a3b4c5d6e7\n"
                             "\"Plural\"=\"on\"\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Workflow, AdvertApplyErrors,
    ::testing::Values(
        TErrorCase{"LoadFails", {5}, PutUnreadableExecutable, "Unable to load Yahoo Messenger data.", "",
                   {"close button: off"}, false},
        TErrorCase{"BackupCannotBeCreated", {1}, PutFolderAsBackup, "Cannot create file \"", "YahooMessenger.bak\". ",
                   {"close button: off", "show"}, false},
        TErrorCase{"SkinFolderMissing",
                   {1, 5},
                   RemoveIMWindowFolder,
                   "Cannot create file \"",
                   "IMWindow/IMWindow.xml\". ",
                   {"close button: off", "show", "line: Yahoo Messenger Backup: Successfully Created",
                    "line: Change Room Banner: Successfully Patched"},
                   false},
        TErrorCase{"HtmlReplacementCannotBeCreated",
                   {3},
                   PutFolderAsHtmlReplacement,
                   "Cannot create file \"",
                   "BlankQuorvex.html\". ",
                   {"close button: off", "show", "line: Yahoo Messenger Backup: Successfully Created",
                    "line: Webcam Viewer Ad: Successfully Patched", "line: Webcam Viewer Ad Medium: Successfully Patched",
                    "line: Webcam Viewer Ad Big: Successfully Patched", "line: Webcam Upload Ad: Successfully Patched",
                    "line: Urls: Successfully Patched"},
                   false},
        TErrorCase{"RegistryValueOfTheWrongType",
                   {2, 6, 7},
                   PutStringPlural,
                   "Invalid data type for \"Plural\"",
                   "",
                   {"close button: off", "show", "line: Yahoo Messenger Backup: Successfully Created",
                    "line: Chat Room Advert: Successfully Patched", "line: Urls: Successfully Patched",
                    "line: Save: Successfully saved changes to Yahoo Messenger"},
                   true}),
    [](const auto& info) { return std::string(info.param.Name); });

// Mounts a file system that clones and makes it the temporary folder before
// the workflow's prefix and working folder are made (a base constructed first).
class TOnReflinkMount {
protected:
    TOnReflinkMount() : onMount_("TMPDIR", mount_.Path().string()) {}

    TReflinkMount mount_;

private:
    TScopedEnv onMount_;
};

class AdvertApplyOnReflink : public TOnReflinkMount, public AdvertApply {
protected:
    void SetUp() override
    {
        if (!mount_.Mounted())
            GTEST_SKIP() << mount_.Refusal();
        ASSERT_EQ(prefix.Path().parent_path(), mount_.Path());
    }
};

// Where the extents lie, whether shared or not.
std::vector<std::pair<std::uint64_t, std::uint64_t>> Places(const std::vector<TExtent>& extents)
{
    std::vector<std::pair<std::uint64_t, std::uint64_t>> places;
    for (const TExtent& extent : extents)
        places.emplace_back(extent.Physical, extent.Length);
    return places;
}

// The backup holds the very blocks the executable held before the apply: it
// was cloned, and the patched executable saved after it has blocks of its own.
TEST_F(AdvertApplyOnReflink, TheBackupIsACloneOfTheUnpatchedExecutable)
{
    const std::vector<TExtent> original = FileExtents(prefix.Executable());
    ASSERT_FALSE(original.empty());
    Apply({1});
    EXPECT_EQ(host.Lines().front(), "Yahoo Messenger Backup: Successfully Created");
    EXPECT_EQ(host.Lines().back(), "Save: Successfully saved changes to Yahoo Messenger");
    EXPECT_TRUE(ReadBytes(Backup()) == prefix.Image.Bytes);
    EXPECT_EQ(Places(FileExtents(Backup())), Places(original));
    EXPECT_TRUE(Executable() == Patched(prefix.Image, {TAdvert::ChangeBanner, TAdvert::Urls}));
    EXPECT_EQ(std::distance(fs::directory_iterator(working.Path()), fs::directory_iterator()), 1)
        << "no temporary file is left";
}

}  // namespace
}  // namespace quorvex::test
