// Quorvex processes writing one file at once: they take turns through the
// file's change lock, and a writer's temporary file is never taken away
// while it writes. The other processes are the test writer (TestWriter.cpp)
// (TestWriter.cpp).
#include "platform/Error.h"
#include "platform/wine/FileChangeLock.h"
#include "platform/wine/FileStream.h"
#include "platform/wine/WineRegistry.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kWriter = QUORVEX_TEST_WRITER_PATH;
constexpr const char* kWriterText = "written by the test writer";

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

// The names of the temporary files of target's writers.
std::vector<std::string> TemporaryFiles(const fs::path& target)
{
    std::vector<std::string> found = Names(target.parent_path());
    std::erase_if(found, [&](const std::string& name) {
        return !name.starts_with("." + target.filename().string() + ".quorvex-") || name.ends_with("-lock");
    });
    return found;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return condition();
}

void Write(TFileWriteStream& stream, std::string_view text)
{
    stream.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(ConcurrentWrites, TwoProcessesWriting200ValuesEachIntoUserRegLoseNoneAndFailNone)
{
    test::TFakePrefix prefix;
    constexpr int kCount = 200;
    {
        test::TChildProcess first(kWriter, {"writer", "registry", prefix.Path().string(), "first", "200"});
        test::TChildProcess second(kWriter, {"writer", "registry", prefix.Path().string(), "second", "200"});
        EXPECT_EQ(first.Wait(60s), 0) << "a write of the first process failed";
        EXPECT_EQ(second.Wait(60s), 0) << "a write of the second process failed";
    }
    const auto key = TWineRegistry().OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager", TKeyAccess::Read);
    ASSERT_NE(key, nullptr);
    int missing = 0;
    for (const std::string name : {"first", "second"}) {
        for (int i = 0; i < kCount; ++i) {
            if (!key->ValueExists(name + std::to_string(i)) || key->ReadInteger(name + std::to_string(i)) != i)
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0) << "values reported as written are missing";
    EXPECT_EQ(key->ReadInteger("Launch on Startup"), 1) << "a value no one changed";
    EXPECT_TRUE(TemporaryFiles(prefix.Path() / "user.reg").empty());
    EXPECT_FALSE(fs::exists(ChangeLockFile(prefix.Path() / "user.reg")));
}

TEST(ConcurrentWrites, AWriterWaitsForAnotherProcessAndFailsWhenItsWaitEnds)
{
    const test::TTempFolder folder;
    const fs::path target = folder.Path() / "skin.xml";
    test::WriteText(target, "old");

    test::TChildProcess holder(kWriter, {"writer", "stream", target.string(), "60"});
    ASSERT_TRUE(WaitUntil([&] { return TemporaryFiles(target).size() == 1; }));
    const std::vector<std::string> held = TemporaryFiles(target);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { TFileWriteStream stream(target.string(), 300ms); }),
              "Cannot create file \"" + target.string() + "\". The file is in use by another Quorvex process.");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(TemporaryFiles(target), held) << "the other writer's file is still there";
    EXPECT_EQ(test::ReadText(target), "old");

    // One that commits soon: the wait ends with the lock, after its write.
    holder.Kill();
    test::TChildProcess quick(kWriter, {"writer", "stream", target.string(), "0.3"});
    // Once it writes, it has removed the killed writer's leftover.
    ASSERT_TRUE(WaitUntil([&] { return TemporaryFiles(target).size() == 1 && TemporaryFiles(target) != held; }));
    TFileWriteStream stream(target.string());
    EXPECT_EQ(test::ReadText(target), kWriterText) << "the lock came only after the other's commit";
    Write(stream, "new");
    stream.Commit();
    EXPECT_EQ(quick.Wait(5s), 0);
    EXPECT_EQ(test::ReadText(target), "new");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"skin.xml"})
        << "the killed writer's leftover is gone, and so is the lock file";
}

// Whether some process holds the file's flock.
bool FlockHeld(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (fd >= 0)
        ::close(fd);
    return held;
}

TEST(ConcurrentWrites, ALeftoverOfALiveWriterStaysWhileOneOfADeadWriterGoes)
{
    const test::TTempFolder folder;
    const fs::path target = folder.Path() / "user.reg";
    test::WriteText(target, "old");
    const fs::path live = folder.Path() / ".user.reg.quorvex-Live00";
    const fs::path dead = folder.Path() / ".user.reg.quorvex-Dead00";
    test::WriteText(live, "being written");
    test::WriteText(dead, "cut short");
    // Writers holding their temporary files as a write stream does; one is killed.
    test::TChildProcess writer(kWriter, {"writer", "hold", live.string(), "60"});
    {
        test::TChildProcess killed(kWriter, {"writer", "hold", dead.string(), "60"});
        ASSERT_TRUE(WaitUntil([&] { return FlockHeld(dead); }));
    }
    ASSERT_TRUE(WaitUntil([&] { return FlockHeld(live); }));
    TFileWriteStream stream(target.string());
    Write(stream, "new");
    stream.Commit();
    EXPECT_EQ(test::ReadText(live), "being written") << "the live writer's file was removed";
    EXPECT_FALSE(fs::exists(dead)) << "the dead writer's leftover stays";
    EXPECT_EQ(test::ReadText(target), "new");
}

TEST(ConcurrentWrites, ThreadsTakeTurnsAndAThreadHoldingTheLockTakesItAgain)
{
    const test::TTempFolder folder;
    const fs::path target = folder.Path() / "user.reg";
    std::atomic<bool> otherHasIt = false;
    std::thread other;
    {
        const TFileChangeLock lock(target);
        {
            const TFileChangeLock again(target, 0ms);  // nested: no wait
        }
        EXPECT_TRUE(fs::exists(ChangeLockFile(target))) << "the outer lock still holds";
        other = std::thread([&] {
            const TFileChangeLock theirs(target);
            otherHasIt = true;
        });
        std::this_thread::sleep_for(100ms);
        EXPECT_FALSE(otherHasIt) << "another thread took a held lock";
    }
    other.join();
    EXPECT_TRUE(otherHasIt);
    EXPECT_FALSE(fs::exists(ChangeLockFile(target)));
}

TEST(ConcurrentWrites, APlantedLinkOrFolderAsTheLockFileIsRefusedAndNotFollowed)
{
    const test::TTempFolder folder;
    const fs::path target = folder.Path() / "user.reg";
    test::WriteText(target, "old");
    const fs::path elsewhere = folder.Path() / "elsewhere";
    fs::create_symlink(elsewhere, ChangeLockFile(target));
    EXPECT_EQ(ErrorOf([&] { TFileWriteStream stream(target.string()); }),
              "Cannot create file \"" + target.string() + "\". Too many levels of symbolic links");
    EXPECT_FALSE(fs::exists(elsewhere));

    fs::remove(ChangeLockFile(target));
    fs::create_directory(ChangeLockFile(target));
    EXPECT_EQ(ErrorOf([&] { TFileWriteStream stream(target.string()); }),
              "Cannot create file \"" + target.string() + "\". Is a directory");
    EXPECT_EQ(test::ReadText(target), "old");
    EXPECT_TRUE(TemporaryFiles(target).empty());
}

}  // namespace
}  // namespace quorvex
