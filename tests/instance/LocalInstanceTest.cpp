// The single-instance guard's Linux backend: the lock and the local socket in
// the user's runtime folder, between two guards and between two processes.
#include "platform/Error.h"
#include "platform/wine/LocalInstance.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kName[] = "Quorvex";

// The requests that reach holder within the time, asked for until one does.
int RequestsWithin(TLocalInstance& holder, std::chrono::milliseconds bound = 5000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    int requests = 0;
    while ((requests = holder.TakeComeForwardRequests()) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    return requests;
}

// A listening local socket at path, which reports whether anyone connected.
class TListeningSocket {
public:
    explicit TListeningSocket(const fs::path& path) : descriptor_(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0))
    {
        const sockaddr_un address = Address(path);
        EXPECT_EQ(::bind(descriptor_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(descriptor_, 4), 0);
    }
    ~TListeningSocket() { ::close(descriptor_); }
    TListeningSocket(const TListeningSocket&) = delete;
    TListeningSocket& operator=(const TListeningSocket&) = delete;

    bool SomeoneConnected() const
    {
        const int connection = ::accept(descriptor_, nullptr, nullptr);
        if (connection < 0)
            return false;
        ::close(connection);
        return true;
    }

    static sockaddr_un Address(const fs::path& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        return address;
    }

private:
    int descriptor_;
};

// Connects to the socket at path and sends text; false when it cannot connect.
bool SendTo(const fs::path& path, const std::string& text)
{
    const int connection = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = TListeningSocket::Address(path);
    const bool connected = ::connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (connected && !text.empty()) {
        EXPECT_EQ(::send(connection, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
    }
    ::close(connection);
    return connected;
}

class LocalInstance : public testing::Test {
protected:
    TTempFolder runtime_;
    const TScopedEnv variable_{"XDG_RUNTIME_DIR", runtime_.Path().string()};
    const fs::path socket_ = runtime_.Path() / kName;
};

TEST_F(LocalInstance, ALaterGuardFindsTheNameTakenAndItsRequestReachesTheHolder)
{
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));
    EXPECT_EQ(TLocalInstance::Folder(), runtime_.Path());
    struct stat info {};
    ASSERT_EQ(::lstat(socket_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(first.TakeComeForwardRequests(), 0);

    TLocalInstance second;
    EXPECT_FALSE(second.Claim(kName));
    second.AskHolderToComeForward(kName);
    EXPECT_EQ(RequestsWithin(first), 1);
    EXPECT_EQ(second.TakeComeForwardRequests(), 0) << "it holds nothing";
    EXPECT_EQ(first.TakeComeForwardRequests(), 0) << "each request counts once";
}

TEST_F(LocalInstance, ASecondProcessIsRefusedTheNameAndRaisesTheFirst)
{
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));
    const TBoundedRun second = RunBounded([] {
        TLocalInstance guard;
        if (guard.Claim(kName))
            return std::string("claimed");
        guard.AskHolderToComeForward(kName);
        return std::string("asked");
    });
    ASSERT_TRUE(second.Finished);
    EXPECT_EQ(second.Output, "asked");
    EXPECT_EQ(RequestsWithin(first), 1);
}

TEST_F(LocalInstance, TheNameAndTheSocketOfAnInstanceThatDiedAreTakenOver)
{
    const TBoundedRun dead = RunBounded([] {
        // Never destroyed: the process ends as a crash leaves it, its socket behind.
        auto* guard = new TLocalInstance;
        return std::string(guard->Claim(kName) ? "claimed" : "refused");
    });
    ASSERT_TRUE(dead.Finished);
    ASSERT_EQ(dead.Output, "claimed");
    struct stat left {};
    ASSERT_EQ(::lstat(socket_.c_str(), &left), 0) << "the dead instance's socket is still there";
    EXPECT_FALSE(SendTo(socket_, "")) << "no one listens on it";

    TLocalInstance next;
    ASSERT_TRUE(next.Claim(kName));
    TLocalInstance later;
    EXPECT_FALSE(later.Claim(kName));
    later.AskHolderToComeForward(kName);
    EXPECT_EQ(RequestsWithin(next), 1);
}

TEST_F(LocalInstance, ALinkInPlaceOfTheSocketIsNeitherFollowedNorConnectedThrough)
{
    TTempFolder elsewhere;
    const fs::path decoyPath = elsewhere.Path() / "decoy";
    const TListeningSocket decoy(decoyPath);

    // Found when claiming: the link goes, what it led to stays.
    fs::create_symlink(decoyPath, socket_);
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));
    EXPECT_TRUE(fs::is_socket(fs::symlink_status(socket_)));
    EXPECT_TRUE(fs::is_socket(fs::symlink_status(decoyPath)));

    // Put there while the first instance runs: a later start does not follow it.
    fs::remove(socket_);
    fs::create_symlink(decoyPath, socket_);
    TLocalInstance second;
    EXPECT_FALSE(second.Claim(kName));
    second.AskHolderToComeForward(kName);
    EXPECT_FALSE(decoy.SomeoneConnected());
    EXPECT_EQ(RequestsWithin(first, 300ms), 0);
    ASSERT_TRUE(SendTo(decoyPath, "")) << "the decoy itself takes connections";
    EXPECT_TRUE(decoy.SomeoneConnected());
}

TEST_F(LocalInstance, OnlyAWholeRaiseLineCounts)
{
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));
    const struct {
        const char* sent;
        int requests;
    } cases[] = {
        {"raise\n", 1},
        {"raise\nraise\nraise\n", 1},
        {"raise", 0},
        {"rai", 0},
        {"", 0},
        {"RAISE\n", 0},
        {"raisexxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        ASSERT_TRUE(SendTo(socket_, c.sent));
        EXPECT_EQ(RequestsWithin(first, c.requests == 0 ? 300ms : 5000ms), c.requests);
    }
}

TEST_F(LocalInstance, ConnectionsThatSayNothingAreNeverWaitedOnAndDroppedInTime)
{
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));
    std::vector<int> silent;
    for (int i = 0; i < 20; ++i) {
        silent.push_back(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));  // beyond the backlog: refused
        const sockaddr_un address = TListeningSocket::Address(socket_);
        ::connect(silent.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(first.TakeComeForwardRequests(), 0) << "never waits on a silent connection";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);

    std::this_thread::sleep_for(2100ms);  // the silent ones' time is up
    EXPECT_EQ(first.TakeComeForwardRequests(), 0);
    TLocalInstance second;
    EXPECT_FALSE(second.Claim(kName));
    second.AskHolderToComeForward(kName);
    EXPECT_EQ(RequestsWithin(first), 1);
    for (const int connection : silent)
        ::close(connection);
}

TEST_F(LocalInstance, AnotherUsersSocketAndAnotherUsersRequestAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser, to act as another user";
    TLocalInstance first;
    ASSERT_TRUE(first.Claim(kName));

    // Another user's request, on a socket opened to everyone for the test.
    fs::permissions(runtime_.Path(), fs::perms::owner_all | fs::perms::others_exec);
    fs::permissions(socket_, fs::perms::all);
    const TBoundedRun stranger = RunBounded([this] {
        if (::setresgid(4321, 4321, 4321) != 0 || ::setresuid(4321, 4321, 4321) != 0)
            return std::string("cannot become another user");
        return std::string(SendTo(socket_, "raise\n") ? "sent" : "not connected");
    });
    ASSERT_TRUE(stranger.Finished);
    ASSERT_EQ(stranger.Output, "sent");
    EXPECT_EQ(RequestsWithin(first, 300ms), 0);

    // A socket of another user's at the name is not asked.
    ASSERT_EQ(::lchown(socket_.c_str(), 4321, 4321), 0);
    TLocalInstance second;
    EXPECT_FALSE(second.Claim(kName));
    second.AskHolderToComeForward(kName);
    EXPECT_EQ(RequestsWithin(first, 300ms), 0);
}

TEST_F(LocalInstance, ASocketPathTooLongForTheSystemEndsTheStartWithTheReason)
{
    fs::path deep = runtime_.Path();
    while (deep.native().size() < 120)
        deep /= "long-folder-name";
    fs::create_directories(deep);
    fs::permissions(deep, fs::perms::owner_all);
    const TScopedEnv variable("XDG_RUNTIME_DIR", deep.string());
    TLocalInstance guard;
    try {
        guard.Claim(kName);
        ADD_FAILURE() << "claimed";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot take the single-instance lock in \"" + deep.string() + "\". File name too long");
    }
}

}  // namespace
}  // namespace quorvex::test
