// The single-instance lock: one holder at a time, free again when the holder
// ends however it ends, refused with the system's reason where it cannot be
// taken.
#include "platform/Error.h"
#include "platform/InstanceLock.h"
#include "tests/fixtures/TestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

TEST(InstanceLock, OneHolderAtATimeAndFreeAgainWhenReleased)
{
    const TTempFolder folder;
    const fs::path file = folder.Path() / "Quorvex.lock";
    auto first = TInstanceLock::TryTake(file);
    ASSERT_NE(first, nullptr);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(TInstanceLock::TryTake(file), nullptr);
    first.reset();
    EXPECT_NE(TInstanceLock::TryTake(file), nullptr);
}

TEST(InstanceLock, AHolderKilledOutrightLeavesTheLockFree)
{
    const TTempFolder folder;
    const fs::path file = folder.Path() / "Quorvex.lock";
    int taken[2];
    ASSERT_EQ(::pipe(taken), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto lock = TInstanceLock::TryTake(file);
        const char held = lock != nullptr ? 'y' : 'n';
        [[maybe_unused]] const auto written = ::write(taken[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(taken[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(TInstanceLock::TryTake(file), nullptr) << "the other process holds it";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(taken[0]);
    ::close(taken[1]);
    EXPECT_NE(TInstanceLock::TryTake(file), nullptr);
}

TEST(InstanceLock, WhatCannotBeTakenGivesTheSystemsReason)
{
    const TTempFolder folder;
    fs::create_directory(folder.Path() / "target");
    fs::create_symlink(folder.Path() / "target" / "Quorvex.lock", folder.Path() / "link.lock");
    test::WriteText(folder.Path() / "file", "");
    const struct {
        const char* name;
        fs::path file;
        const char* reason;
    } cases[] = {
        {"a link in its place", folder.Path() / "link.lock", "Too many levels of symbolic links"},
        {"a folder that is a file", folder.Path() / "file" / "Quorvex.lock", "Not a directory"},
        {"a missing folder", folder.Path() / "missing" / "Quorvex.lock", "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TInstanceLock::TryTake(c.file);
            ADD_FAILURE() << "the lock was taken";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.reason);
        }
    }
    EXPECT_FALSE(fs::exists(folder.Path() / "target" / "Quorvex.lock")) << "the link was followed";
}

}  // namespace
}  // namespace quorvex
