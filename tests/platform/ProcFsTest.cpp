#include "platform/wine/ProcFs.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(PosixWriteLockHolderIds, TakesOnlyTheHoldersOfPosixWriteLocks)
{
    const char* locks =
        "1: POSIX  ADVISORY  WRITE 4321 08:01:5678 0 EOF\n"
        "1: -> POSIX  ADVISORY  WRITE 4322 08:01:5678 0 EOF\n"  // waits for the lock above
        "2: POSIX  ADVISORY  READ 4323 08:01:91 0 EOF\n"
        "3: FLOCK  ADVISORY  WRITE 4324 08:01:92 0 EOF\n"
        "4: OFDLCK ADVISORY  WRITE -1 08:01:93 0 EOF\n"
        "5: POSIX  ADVISORY  WRITE 0 08:01:94 0 EOF\n"          // a holder of another namespace
        "6: POSIX  ADVISORY  WRITE 12x 08:01:95 0 EOF\n"
        "7: POSIX  ADVISORY  WRITE\n"
        "\n"
        "8: POSIX  MANDATORY WRITE 99 00:2a:7 100 199";  // the last line without its end
    EXPECT_EQ(PosixWriteLockHolderIds(locks), (std::vector<int>{4321, 99}));
    EXPECT_TRUE(PosixWriteLockHolderIds("").empty());
}

TEST(RealUserIdOf, TakesTheFirstNumberOfTheUidLine)
{
    const struct {
        const char* status;
        std::optional<uid_t> id;
    } cases[] = {
        {"Name:\twineserver\nUmask:\t0022\nUid:\t1000\t1001\t1002\t1003\nGid:\t0\t0\t0\t0\n", 1000},
        {"Uid:\t0\t0\t0\t0", 0},
        {"Name:\tUid:\t5\nUid: 77 77 77 77\n", 77},  // only a line that starts so
        {"Name:\tsleep\nGid:\t0\t0\t0\t0\n", std::nullopt},
        {"Uid:\t\n", std::nullopt},
        {"Uid:\t12ab\t0\t0\t0\n", std::nullopt},
        {"Uid:\t99999999999999999999\t0\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RealUserIdOf(c.status), c.id) << c.status;
}

TEST(TProcessInfo, UserIdIsTheUserWhoStartedTheProcess)
{
    EXPECT_EQ(TProcessInfo("/proc/self").UserId(), ::getuid());
    EXPECT_EQ(TProcessInfo("/proc/no-such-process").UserId(), std::nullopt);
}

bool HoldsALock(const fs::path& workingFolder)
{
    const auto holders = PosixWriteLockHolders();
    return holders && std::ranges::any_of(*holders, [&](const TProcessInfo& process) {
        return process.WorkingFolder() == workingFolder;
    });
}

TEST(PosixWriteLockHolders, ListsAProcessHoldingALockAndNotOneWithout)
{
    ASSERT_TRUE(PosixWriteLockHolders().has_value()) << "this system lists no locks in /proc/locks";
    const test::TTempFolder holderFolder;
    const test::TTempFolder otherFolder;
    test::TChildProcess holder("/bin/sleep", {"sleep", "60"}, holderFolder.Path(), holderFolder.Path() / "lock");
    test::TChildProcess other("/bin/sleep", {"sleep", "60"}, otherFolder.Path());
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!HoldsALock(holderFolder.Path()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(HoldsALock(holderFolder.Path()));
    EXPECT_FALSE(HoldsALock(otherFolder.Path()));
    holder.Kill();
    EXPECT_FALSE(HoldsALock(holderFolder.Path()));
}

}  // namespace
}  // namespace quorvex
