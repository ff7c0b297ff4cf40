#include "engine/AdvertPatches.h"
#include "engine/TQuorvex.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/ReflinkMount.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::FileChanges;
using test::ReadBytes;
using test::SharesAllExtents;
using test::TFileChange;
using test::TReflinkMount;
using test::TScopedEnv;
using test::TFakePrefix;
using test::TScopedWorkingFolder;
using test::TTempFolder;

constexpr const char* kFolder = "C:\\Program Files\\Yahoo!\\Messenger";

std::vector<std::uint8_t> Content(const TQuorvex& engine)
{
    return {engine.Image().Bytes().begin(), engine.Image().Bytes().end()};
}

std::string LoadError(TQuorvex& engine)
{
    try {
        engine.LoadYahooMessenger();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

class EngineImage : public ::testing::Test {
protected:
    EngineImage() : inWork(work.Path()) { engine.YahooMessengerPath = kFolder; }

    TFakePrefix prefix;
    TTempFolder work;
    TScopedWorkingFolder inWork;
    TQuorvex engine;
};

TEST_F(EngineImage, LoadsTheExecutableNamedByTheFolderTextAsTyped)
{
    EXPECT_FALSE(engine.YahooLoaded);
    for (const std::string& folder : {std::string(kFolder), std::string("c:\\program files\\YAHOO!\\messenger"),
                                     prefix.MessengerFolder().string(), prefix.MessengerFolder().string() + "\\"}) {
        SCOPED_TRACE(folder);
        engine.Clear();
        engine.YahooMessengerPath = folder;
        engine.LoadYahooMessenger();
        EXPECT_TRUE(engine.YahooLoaded);
        EXPECT_EQ(Content(engine), prefix.Image.Bytes);
    }
}

TEST_F(EngineImage, AFailedLoadRaisesTheLoadErrorAndKeepsWhatWasLoaded)
{
    EXPECT_EQ(LoadError(engine), "no error");
    for (const std::string& folder : {std::string("C:\\Program Files\\Yahoo!\\Missing"), std::string("C:\\Program Files\\Yahoo!"),
                                     std::string("")}) {
        SCOPED_TRACE(folder);
        engine.YahooMessengerPath = folder;
        EXPECT_EQ(LoadError(engine), "Unable to load Yahoo Messenger data.");
        EXPECT_TRUE(engine.YahooLoaded);
        EXPECT_EQ(Content(engine), prefix.Image.Bytes);
    }
    // The executable's name taken by a folder.
    fs::create_directories(prefix.Path() / "drive_c" / "Other" / "YahooMessenger.exe");
    engine.YahooMessengerPath = "C:\\Other";
    EXPECT_EQ(LoadError(engine), "Unable to load Yahoo Messenger data.");

    TQuorvex fresh;
    fresh.YahooMessengerPath = "C:\\Other";
    EXPECT_EQ(LoadError(fresh), "Unable to load Yahoo Messenger data.");
    EXPECT_FALSE(fresh.YahooLoaded);
}

TEST_F(EngineImage, SaveReplacesTheExecutableWithTheImage)
{
    engine.LoadYahooMessenger();
    ASSERT_TRUE(engine.Urls());
    EXPECT_TRUE(engine.SaveYahooMessenger());
    EXPECT_EQ(ReadBytes(prefix.Executable()), Content(engine));
    EXPECT_NE(Content(engine), prefix.Image.Bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(prefix.MessengerFolder()), fs::directory_iterator()), 2);  // no leftovers
}

TEST_F(EngineImage, SaveReportsFalseWhenTheExecutableCannotBeReplaced)
{
    engine.LoadYahooMessenger();
    ASSERT_TRUE(engine.Urls());
    fs::permissions(prefix.Executable(), fs::perms::owner_read);  // read-only
    EXPECT_FALSE(engine.SaveYahooMessenger());
    EXPECT_EQ(ReadBytes(prefix.Executable()), prefix.Image.Bytes);

    engine.YahooMessengerPath = "C:\\Program Files\\Yahoo!\\Gone";
    EXPECT_FALSE(engine.SaveYahooMessenger());
    EXPECT_FALSE(fs::exists(prefix.Path() / "drive_c" / "Program Files" / "Yahoo!" / "Gone"));
}

// Two applies at once (two Quorvex windows, or the window and quorvex-cli)
// each load the executable, patch and save: the later save must not put back
// an image that lacks the earlier one's patches.
TEST_F(EngineImage, SaveFailsAndKeepsTheFileWhenTheExecutableChangedSinceTheLoad)
{
    for (const test::TFileChange& change : FileChanges()) {
        SCOPED_TRACE(change.Name);
        test::WriteText(prefix.Executable(), std::string(prefix.Image.Bytes.begin(), prefix.Image.Bytes.end()));
        engine.LoadYahooMessenger();
        ASSERT_TRUE(engine.Urls());
        change.Apply(prefix.Executable());
        const std::vector<std::uint8_t> changed = ReadBytes(prefix.Executable());
        EXPECT_FALSE(engine.SaveYahooMessenger());
        EXPECT_EQ(ReadBytes(prefix.Executable()), changed);
    }
    engine.LoadYahooMessenger();
    fs::remove(prefix.Executable());
    EXPECT_FALSE(engine.SaveYahooMessenger());
    EXPECT_FALSE(fs::exists(prefix.Executable()));
}

TEST_F(EngineImage, OfTwoEnginesThatLoadedTheSameExecutableOnlyTheFirstSaves)
{
    TQuorvex other;
    other.YahooMessengerPath = kFolder;
    engine.LoadYahooMessenger();
    other.LoadYahooMessenger();
    ASSERT_TRUE(engine.Urls());
    ASSERT_TRUE(other.ChangeBanner());
    ASSERT_TRUE(other.SaveYahooMessenger());
    EXPECT_FALSE(engine.SaveYahooMessenger());
    EXPECT_EQ(ReadBytes(prefix.Executable()), Content(other));

    engine.LoadYahooMessenger();  // a fresh load sees the other's patch and keeps it
    ASSERT_TRUE(engine.Urls());
    EXPECT_TRUE(engine.SaveYahooMessenger());
    EXPECT_EQ(ReadBytes(prefix.Executable()), Content(engine));
    EXPECT_NE(Content(engine), Content(other));
}

TEST_F(EngineImage, BackupIsWrittenToTheWorkingFolderOnlyWhenSomethingIsLoaded)
{
    EXPECT_FALSE(engine.CreateBackup("YahooMessenger.bak"));
    EXPECT_FALSE(fs::exists(work.Path() / "YahooMessenger.bak"));

    engine.LoadYahooMessenger();
    test::WriteText(work.Path() / "YahooMessenger.bak", "an older backup, longer than nothing");
    EXPECT_TRUE(engine.CreateBackup("YahooMessenger.bak"));
    EXPECT_EQ(ReadBytes(work.Path() / "YahooMessenger.bak"), prefix.Image.Bytes);
    EXPECT_FALSE(fs::exists(prefix.MessengerFolder() / "YahooMessenger.bak"));
    EXPECT_EQ(std::distance(fs::directory_iterator(work.Path()), fs::directory_iterator()), 1)
        << "no temporary file is left";

    engine.Clear();
    EXPECT_FALSE(engine.YahooLoaded);
    EXPECT_EQ(engine.Image().Size(), 0u);
    engine.Clear();  // harmless on an empty image
    EXPECT_FALSE(engine.CreateBackup("Second.bak"));
    EXPECT_FALSE(fs::exists(work.Path() / "Second.bak"));
}

TEST_F(EngineImage, ABackupThatCannotBeCreatedRaisesTheFileCreationError)
{
    engine.LoadYahooMessenger();
    try {
        engine.CreateBackup("missing\\YahooMessenger.bak");
        FAIL() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + (work.Path() / "missing" / "YahooMessenger.bak").string() +
                                                 "\". No such file or directory");
    }
}

TEST_F(EngineImage, ABackupIsTheOriginalWhenTheImageDiffersFromItOnlyByAdvertPatches)
{
    using TChange = std::function<void(std::vector<std::uint8_t>&)>;
    const TFakeImage& image = prefix.Image;
    const auto main = static_cast<std::size_t>(image.MainAdvertOffset);
    const auto at = [&](TAdvert advert, std::size_t occurrence) { return image.Occurrences.at(advert).at(occurrence); };
    const auto patch = [&](TAdvert advert, std::size_t occurrence) {
        return TChange([&, advert, occurrence](std::vector<std::uint8_t>& bytes) {
            std::ranges::copy(AdvertPatch(advert).Replacement, bytes.begin() + static_cast<std::ptrdiff_t>(at(advert, occurrence)));
        });
    };
    const std::size_t banner = at(TAdvert::ChangeBanner, 0);
    const std::size_t bannerEnd = banner + AdvertPatch(TAdvert::ChangeBanner).Pattern.size();
    const struct {
        const char* name;
        TChange change;
        bool original;
    } cases[] = {
        {"unchanged", [](std::vector<std::uint8_t>&) {}, true},
        {"every advert and the main advert byte",
         [&](std::vector<std::uint8_t>& bytes) {
             for (const TAdvertPatch& row : AdvertPatches())
                 patch(row.Advert, 0)(bytes);
             bytes[main] = 0x56;
         },
         true},
        {"a later occurrence of urls", patch(TAdvert::Urls, 1), true},
        {"any byte inside an occurrence", [&](std::vector<std::uint8_t>& bytes) { bytes[banner + 7] ^= 0xFF; }, true},
        {"the first and last byte of an occurrence",
         [&](std::vector<std::uint8_t>& bytes) {
             bytes[banner] ^= 1;
             bytes[bannerEnd - 1] ^= 1;
         },
         true},
        {"the byte before an occurrence", [&](std::vector<std::uint8_t>& bytes) { bytes[banner - 1] ^= 1; }, false},
        {"the byte after an occurrence", [&](std::vector<std::uint8_t>& bytes) { bytes[bannerEnd] ^= 1; }, false},
        {"the byte after the main advert byte", [&](std::vector<std::uint8_t>& bytes) { bytes[main + 1] ^= 1; }, false},
        {"a patch and a byte of the header",
         [&](std::vector<std::uint8_t>& bytes) {
             patch(TAdvert::VidAd, 0)(bytes);
             bytes[1] ^= 1;
         },
         false},
        {"one byte more", [](std::vector<std::uint8_t>& bytes) { bytes.push_back(0); }, false},
        {"one byte less", [](std::vector<std::uint8_t>& bytes) { bytes.pop_back(); }, false},
    };
    WriteNativeFileAtomically(work.Path() / "YahooMessenger.bak", image.Bytes);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> executable = image.Bytes;
        c.change(executable);
        WriteNativeFileAtomically(prefix.Executable(), executable);
        engine.LoadYahooMessenger();
        EXPECT_EQ(engine.BackupIsOriginal("YahooMessenger.bak", image.MainAdvertOffset), c.original);
    }

    // The main advert byte counts only at the offset given.
    std::vector<std::uint8_t> executable = image.Bytes;
    executable[main] = 0x56;
    WriteNativeFileAtomically(prefix.Executable(), executable);
    engine.LoadYahooMessenger();
    EXPECT_FALSE(engine.BackupIsOriginal("YahooMessenger.bak", 0));
    EXPECT_FALSE(engine.BackupIsOriginal("Missing.bak", image.MainAdvertOffset));
    engine.Clear();
    EXPECT_FALSE(engine.BackupIsOriginal("YahooMessenger.bak", image.MainAdvertOffset));
}

TEST_F(EngineImage, RestorePutsTheBackupBackAndLeavesItInPlace)
{
    EXPECT_FALSE(engine.RestoreBackup("YahooMessenger.bak"));
    EXPECT_EQ(ReadBytes(prefix.Executable()), prefix.Image.Bytes);

    const std::string backup = "MZ the backup";
    test::WriteText(work.Path() / "YahooMessenger.bak", backup);
    EXPECT_TRUE(engine.RestoreBackup("YahooMessenger.bak"));
    EXPECT_EQ(test::ReadText(prefix.Executable()), backup);
    EXPECT_EQ(test::ReadText(work.Path() / "YahooMessenger.bak"), backup);
    EXPECT_FALSE(engine.YahooLoaded);
    EXPECT_EQ(engine.Image().Size(), 0u);
}

TEST_F(EngineImage, ARestoreThatCannotWriteReportsFalseAndChangesNothing)
{
    test::WriteText(work.Path() / "YahooMessenger.bak", "MZ the backup");
    fs::permissions(prefix.Executable(), fs::perms::owner_read);
    EXPECT_FALSE(engine.RestoreBackup("YahooMessenger.bak"));
    EXPECT_EQ(ReadBytes(prefix.Executable()), prefix.Image.Bytes);

    fs::create_directory(work.Path() / "folder.bak");  // not a file: nothing to restore
    EXPECT_FALSE(engine.RestoreBackup("folder.bak"));
}

TEST_F(EngineImage, AnImageOfHundredsOfMegabytesIsLoadedPatchedAndSaved)
{
    constexpr std::size_t kSize = std::size_t{300} << 20;
    const std::string urls("u\0r\0l\0s\0", 8);
    {
        std::ofstream executable(prefix.Executable(), std::ios::binary | std::ios::trunc);
        executable.seekp(static_cast<std::streamoff>(kSize - urls.size()));  // a sparse file of zeros
        executable << urls;
    }
    engine.LoadYahooMessenger();
    EXPECT_EQ(engine.Image().Size(), kSize);
    EXPECT_TRUE(engine.Urls());
    EXPECT_FALSE(engine.Urls());
    EXPECT_TRUE(engine.SaveYahooMessenger());
    engine.Clear();

    EXPECT_EQ(fs::file_size(prefix.Executable()), kSize);
    std::ifstream saved(prefix.Executable(), std::ios::binary);
    saved.seekg(static_cast<std::streamoff>(kSize - 16));
    std::string tail(16, 'x');
    saved.read(tail.data(), 16);
    EXPECT_EQ(tail, std::string(16, '\0'));
}

// The prefix and the working folder on a file system that makes
// copy-on-write clones.
class EngineBackupOnReflink : public ::testing::Test {
protected:
    EngineBackupOnReflink() : onMount("TMPDIR", mount.Path().string()) {}

    void SetUp() override
    {
        if (!mount.Mounted())
            GTEST_SKIP() << mount.Refusal();
        prefix.emplace();
        work.emplace();
        inWork.emplace(work->Path());
        engine.YahooMessengerPath = kFolder;
    }

    fs::path Backup() const { return work->Path() / "YahooMessenger.bak"; }

    TReflinkMount mount;
    TScopedEnv onMount;
    std::optional<TFakePrefix> prefix;
    std::optional<TTempFolder> work;
    std::optional<TScopedWorkingFolder> inWork;
    TQuorvex engine;
};

TEST_F(EngineBackupOnReflink, TheBackupOfTheExecutableAsLoadedIsACloneThatOutlivesTheSave)
{
    engine.LoadYahooMessenger();
    test::WriteText(Backup(), "an older backup");
    ASSERT_TRUE(engine.CreateBackup("YahooMessenger.bak"));
    EXPECT_TRUE(ReadBytes(Backup()) == prefix->Image.Bytes);
    EXPECT_TRUE(SharesAllExtents(Backup()));
    EXPECT_EQ(std::distance(fs::directory_iterator(work->Path()), fs::directory_iterator()), 1)
        << "no temporary file is left";

    ASSERT_TRUE(engine.ChangeBanner());
    ASSERT_TRUE(engine.SaveYahooMessenger());
    EXPECT_FALSE(ReadBytes(prefix->Executable()) == prefix->Image.Bytes);
    EXPECT_TRUE(ReadBytes(Backup()) == prefix->Image.Bytes) << "the backup keeps the original";
}

// Whenever the executable may differ from the image, the backup is the image
// written out, never a clone of the file.
TEST_F(EngineBackupOnReflink, ABackupOfAnImageThatMayDifferFromTheExecutableHoldsTheImage)
{
    struct TCase {
        std::string name;
        std::function<void()> change;
    };
    std::vector<TCase> cases = {{"image patched after loading", [this] { ASSERT_TRUE(engine.ChangeBanner()); }}};
    for (const TFileChange& change : FileChanges())
        cases.push_back({std::string("executable ") + change.Name + " after loading",
                         [this, &change] { change.Apply(prefix->Executable()); }});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteText(prefix->Executable(), std::string(prefix->Image.Bytes.begin(), prefix->Image.Bytes.end()));
        engine.LoadYahooMessenger();
        c.change();
        ASSERT_TRUE(engine.CreateBackup("YahooMessenger.bak"));
        EXPECT_TRUE(ReadBytes(Backup()) == Content(engine));
        EXPECT_FALSE(SharesAllExtents(Backup()));
        engine.Clear();
    }
}

}  // namespace
}  // namespace quorvex
