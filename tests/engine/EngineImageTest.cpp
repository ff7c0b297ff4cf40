#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
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

TEST_F(EngineImage, BackupIsWrittenToTheWorkingFolderOnlyWhenSomethingIsLoaded)
{
    EXPECT_FALSE(engine.CreateBackup("YahooMessenger.bak"));
    EXPECT_FALSE(fs::exists(work.Path() / "YahooMessenger.bak"));

    engine.LoadYahooMessenger();
    test::WriteText(work.Path() / "YahooMessenger.bak", "an older backup, longer than nothing");
    EXPECT_TRUE(engine.CreateBackup("YahooMessenger.bak"));
    EXPECT_EQ(ReadBytes(work.Path() / "YahooMessenger.bak"), prefix.Image.Bytes);
    EXPECT_FALSE(fs::exists(prefix.MessengerFolder() / "YahooMessenger.bak"));

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

}  // namespace
}  // namespace quorvex
