#include "platform/wine/LocalInstance.h"

#include "platform/Error.h"
#include "platform/PrivateFolder.h"
#include "platform/wine/NativeFile.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace quorvex {

namespace fs = std::filesystem;
using std::chrono::steady_clock;

namespace {

constexpr std::string_view kRaiseRequest = "raise\n";
constexpr auto kAskTimeout = std::chrono::milliseconds(2000);
constexpr auto kConnectRetry = std::chrono::milliseconds(20);
// A request not complete by then is dropped: the asking start waits no longer.
constexpr auto kRequestLifetime = std::chrono::milliseconds(2000);
constexpr std::size_t kMaxPendingRequests = 8;
constexpr int kListenBacklog = 8;

std::string EnvironmentText(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The folder, and why it may not be used (empty when it may).
struct TLockFolder {
    fs::path Path;
    std::string Problem;
};

// The user's runtime folder when it is set and there; else a folder of the
// user's own in the temporary folder, which every user can write to: one
// that another user made first, or may change, is refused.
TLockFolder ChooseLockFolder()
{
    const std::string runtime = EnvironmentText("XDG_RUNTIME_DIR");
    std::error_code ignored;
    if (!runtime.empty() && fs::exists(runtime, ignored))
        return {runtime, {}};
    std::string temporary = EnvironmentText("TMPDIR");
    while (temporary.size() > 1 && temporary.back() == '/')
        temporary.pop_back();
    const fs::path folder = fs::path(temporary.empty() ? "/tmp" : temporary) / ("quorvex-" + CurrentUserId());
    return {folder, EnsurePrivateFolder(folder)};
}

Error LockError(const fs::path& folder, const std::string& reason)
{
    return Error("Cannot take the single-instance lock in \"" + folder.string() + "\". " + reason);
}

// The socket address of path; false when the path does not fit in one.
bool SocketAddress(const fs::path& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

const sockaddr* AsAddress(const sockaddr_un& address)
{
    return reinterpret_cast<const sockaddr*>(&address);
}

// Whether the process at the other end of the connection runs as this user.
bool PeerIsThisUser(int connection)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// Whether path is a socket of this user's itself (not a link to one).
bool IsOwnSocket(const fs::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid();
}

int MillisecondsUntil(steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// A connection to the listening socket at path; closed when none is made by
// the deadline (a full backlog is tried again until then).
TFileDescriptor ConnectBefore(const fs::path& path, steady_clock::time_point deadline)
{
    sockaddr_un address{};
    if (!SocketAddress(path, address))
        return TFileDescriptor();
    TFileDescriptor connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!connection.Open())
        return connection;
    while (::connect(connection.Get(), AsAddress(address), sizeof address) != 0) {
        if ((errno != EAGAIN && errno != EINTR) || steady_clock::now() >= deadline)
            return TFileDescriptor();
        std::this_thread::sleep_for(kConnectRetry);
    }
    return connection;
}

// Writes the whole text unless the deadline passes first.
bool WriteBefore(int connection, std::string_view text, steady_clock::time_point deadline)
{
    while (!text.empty()) {
        const ssize_t written = ::send(connection, text.data(), text.size(), MSG_NOSIGNAL);
        if (written > 0) {
            text.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd writable{connection, POLLOUT, 0};
        if (::poll(&writable, 1, MillisecondsUntil(deadline)) <= 0 && steady_clock::now() >= deadline)
            return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<TSingleInstanceBackend> SystemSingleInstance()
{
    return std::make_unique<TLocalInstance>();
}

fs::path TLocalInstance::Folder()
{
    return ChooseLockFolder().Path;
}

TLocalInstance::~TLocalInstance()
{
    struct stat info {};
    if (listener_.Open() && ::lstat(socketPath_.c_str(), &info) == 0 && info.st_dev == socketDevice_ &&
        info.st_ino == socketFile_)
        ::unlink(socketPath_.c_str());
}

bool TLocalInstance::Claim(const std::string& name)
{
    const TLockFolder folder = ChooseLockFolder();
    if (!folder.Problem.empty())
        throw LockError(folder.Path, folder.Problem + " Set XDG_RUNTIME_DIR to a folder of your own.");
    folder_ = folder.Path;
    try {
        lock_ = TInstanceLock::TryTake(folder_ / (name + ".lock"));
    } catch (const Error& error) {
        throw LockError(folder_, error.what());
    }
    if (lock_ == nullptr)
        return false;
    Listen(folder_ / name);
    return true;
}

// Holding the lock, whatever is at the socket's path is a dead instance's
// leftover (or a link put there): it is removed, never followed.
void TLocalInstance::Listen(const fs::path& path)
{
    sockaddr_un address{};
    if (!SocketAddress(path, address))
        throw LockError(folder_, SystemErrorText(ENAMETOOLONG));
    TFileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.Open())
        throw LockError(folder_, SystemErrorText(errno));
    ::unlink(path.c_str());
    struct stat info {};
    if (::bind(listener.Get(), AsAddress(address), sizeof address) != 0 || ::chmod(path.c_str(), 0600) != 0 ||
        ::listen(listener.Get(), kListenBacklog) != 0 || ::lstat(path.c_str(), &info) != 0)
        throw LockError(folder_, SystemErrorText(errno));
    socketPath_ = path;
    socketDevice_ = info.st_dev;
    socketFile_ = info.st_ino;
    listener_ = std::move(listener);
}

void TLocalInstance::AskHolderToComeForward(const std::string& name)
{
    const fs::path path = folder_ / name;
    if (!IsOwnSocket(path))
        return;
    const auto deadline = steady_clock::now() + kAskTimeout;
    const TFileDescriptor connection = ConnectBefore(path, deadline);
    if (connection.Open() && PeerIsThisUser(connection.Get()))
        WriteBefore(connection.Get(), kRaiseRequest, deadline);
}

int TLocalInstance::TakeComeForwardRequests()
{
    if (!listener_.Open())
        return 0;
    AcceptPending();
    int raiseRequests = 0;
    std::erase_if(pending_, [&](TPendingRequest& request) { return ReadRequest(request, raiseRequests); });
    return raiseRequests;
}

// Takes the waiting connections: this user's, as many as may wait at once;
// any other is closed at once.
void TLocalInstance::AcceptPending()
{
    for (;;) {
        TFileDescriptor connection(::accept4(listener_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!connection.Open()) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        if (PeerIsThisUser(connection.Get()) && pending_.size() < kMaxPendingRequests)
            pending_.push_back({std::move(connection), {}, steady_clock::now()});
    }
}

bool TLocalInstance::ReadRequest(TPendingRequest& request, int& raiseRequests)
{
    char bytes[kRaiseRequest.size()];
    for (;;) {
        const std::size_t wanted = kRaiseRequest.size() - request.Received.size();
        const ssize_t got = ::recv(request.Connection.Get(), bytes, wanted, 0);
        if (got > 0) {
            request.Received.append(bytes, static_cast<std::size_t>(got));
            if (!kRaiseRequest.starts_with(request.Received))
                return true;
            if (request.Received.size() == kRaiseRequest.size()) {
                ++raiseRequests;
                return true;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            return steady_clock::now() - request.Since >= kRequestLifetime;
        return true;  // closed early, or failed
    }
}

}  // namespace quorvex
